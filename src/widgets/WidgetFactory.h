#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Makes the controls of the windows. Every control carries its name as objectName,
// which is how scripts and tests find it.
class WidgetFactory
{
public:
    static QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                               const QString &toolTip = {});
    // A label; with a buddy, its "&" key moves the focus there.
    static QLabel *label(QWidget *parent, const QString &name, const QString &text,
                         QWidget *buddy = nullptr);
    // A label that shows a path: as wide as the path while its window has room, cut down to
    // some characters when it has not, where the label's own width would widen the window
    // past the screen.
    static QLabel *pathLabel(QWidget *parent, const QString &name, const QString &text);
    // A label that shows a picture of the library's resources (":/vellixon/lock.png").
    static QLabel *picture(QWidget *parent, const QString &name, const QString &resource);
    // A text box wide enough for about that many average characters.
    static QLineEdit *textBox(QWidget *parent, const QString &name, int widthInCharacters);
};
