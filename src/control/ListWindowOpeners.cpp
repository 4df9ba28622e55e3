#include "control/ListWindowOpeners.h"

#include "control/frmAbout.h"
#include "viewer/frmView.h"

namespace {

// The windows were placed in twips; 15 make a pixel on a screen of 96 dots an inch.
constexpr int TwipsPerPixel = 15;

} // namespace

ListWindowPair::Openers ListWindowOpeners()
{
    ListWindowPair::Openers openers;
    openers.aboutBox = [](QWidget *parent) {
        frmAbout about(parent);
        about.exec();
    };
    openers.viewer = [](QWidget *list, const QString &dosPath) {
        // Beside the list, as large as the list.
        frmView view(list);
        view.setGeometry(list->geometry().translated(-320 / TwipsPerPixel, 320 / TwipsPerPixel));
        view.setFileToView(dosPath);
        view.exec();
    };
    return openers;
}
