#include "widgets/NoticeColour.h"

#include <QLabel>

namespace NoticeColour {

QColor on(const QColor &background)
{
    constexpr int DarkBelow = 128;
    return background.lightness() < DarkBelow ? QColor(0xff, 0x7a, 0x7a) : QColor(Qt::red);
}

void setShown(QLabel *label, bool shown)
{
    if (!shown) {
        // No colour of its own: the desktop's, also after it changes its colour scheme.
        label->setPalette(QPalette());
        return;
    }
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, on(colours.color(QPalette::Window)));
    label->setPalette(colours);
}

} // namespace NoticeColour
