#pragma once

#include <QColor>

class QLabel;

// The red that tells of work under way that the user must wait for (the archive's update):
// plain red on a light window, as the windows have always shown it, and a lighter red on a dark
// one, where plain red reads at a contrast of about 3 to 1 only.
namespace NoticeColour {

QColor on(const QColor &background);
// Shows the label's text in that red, or in the desktop's colour again.
void setShown(QLabel *label, bool shown);

} // namespace NoticeColour
