#pragma once

#include <QObject>

class QWidget;

// Gives the widgets of a window what a screen reader reads of them: every button, list, box
// and picture gets a name, its caption (a button's text, a group box's title, the text of the
// label whose buddy it is) or, where it has no caption, its tool tip; and a description, its
// tool tip or, where it has none, its caption. What Qt already reads from the widget itself
// (a button's text as its name, a tool tip as its description) is left to Qt, so that it
// follows the widget as it changes; a name or description that a window gave itself is kept.
// Text labels are read by their text and get nothing.
class AccessibleNames : public QObject
{
    Q_OBJECT

public:
    // Names the widgets of root each time root is shown.
    static void watch(QWidget *root);
    // Names root and the widgets inside it now, again after a caption changed.
    static void name(QWidget *root);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit AccessibleNames(QWidget *root);
};
