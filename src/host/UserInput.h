#pragma once

#include <QString>

class QAbstractItemView;
class QObject;
class QPoint;
class QWidget;

// What a person does with mouse and keyboard, done by a script: every function sends the
// events or makes the calls that the person's action would, and returns why it could not be
// done (empty when it was done).
namespace UserInput {

// Clicks a button, triggers an action, or presses and releases the left mouse button over
// the middle of any other widget (a picture). Hidden and disabled targets cannot be clicked.
QString click(QObject *target, const QString &name);
// A left click (or double click) at a point of the widget.
void clickAt(QWidget *widget, const QPoint &point, bool twice = false);
// Key presses as a key sequence names them ("Alt+D", "Return", "Ctrl+A, Delete"), sent to
// the focus widget of the window, so that shortcuts and mnemonics work.
QString keys(QWidget *window, const QString &sequence);
// Types text into a line edit, an editable combo box or a text edit, over its old text.
QString type(QObject *target, const QString &name, const QString &text);

} // namespace UserInput
