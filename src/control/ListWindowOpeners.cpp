#include "control/ListWindowOpeners.h"

#include "control/frmAbout.h"
#include "viewer/frmView.h"
#include "widgets/Twips.h"

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
        view.setGeometry(list->geometry().translated(twipsToPixels(-320), twipsToPixels(320)));
        view.setFileToView(dosPath);
        view.exec();
    };
    return openers;
}
