#include "host/UserInput.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace UserInput {

namespace {

QString unusable(const QString &name, const QWidget *widget)
{
    if (!widget->isVisible())
        return name + QStringLiteral(" is not shown");
    if (!widget->isEnabled())
        return name + QStringLiteral(" is disabled");
    return {};
}

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &point, Qt::MouseButtons held)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// The text a key press types: letters, digits and blanks without Ctrl, Alt or Meta.
QString typedText(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar letter(u'a' + (key - Qt::Key_A));
        return modifiers & Qt::ShiftModifier ? QString(letter.toUpper()) : QString(letter);
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return QString(QChar(key));
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QStringLiteral("\r");
    return {};
}

// Keys reach a window's shortcuts only while it is the active one; the window system makes it
// active a moment after asked.
void activate(QWidget *window)
{
    if (window->isActiveWindow())
        return;
    window->activateWindow();
    constexpr int ActivationMilliseconds = 500;
    const QDeadlineTimer deadline(ActivationMilliseconds);
    while (!window->isActiveWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
}

} // namespace

QString click(QObject *target, const QString &name)
{
    if (auto *action = qobject_cast<QAction *>(target)) {
        if (!action->isEnabled())
            return name + QStringLiteral(" is disabled");
        action->trigger();
        return {};
    }
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget)
        return name + QStringLiteral(" cannot be clicked");
    if (const QString why = unusable(name, widget); !why.isEmpty())
        return why;
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->click();
    else
        clickAt(widget, widget->rect().center());
    return {};
}

void clickAt(QWidget *widget, const QPoint &point, bool twice)
{
    sendMouse(widget, QEvent::MouseButtonPress, point, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, point, Qt::NoButton);
    if (!twice)
        return;
    sendMouse(widget, QEvent::MouseButtonDblClick, point, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, point, Qt::NoButton);
}

QString keys(QWidget *window, const QString &sequence)
{
    const QKeySequence keySequence = QKeySequence::fromString(sequence, QKeySequence::PortableText);
    if (keySequence.isEmpty() || keySequence[0].key() == Qt::Key_unknown)
        return QStringLiteral("\"%1\" names no keys (write them as \"Alt+D\" or \"Return\")")
            .arg(sequence);
    const QPointer<QWidget> guarded(window);
    activate(window);
    for (int i = 0; i < keySequence.count(); ++i) {
        const Qt::Key key = keySequence[i].key();
        const Qt::KeyboardModifiers modifiers = keySequence[i].keyboardModifiers();
        // Sent as the application sends them, so that shortcuts are tried first; the focus
        // may move with every key.
        QWidget *target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent press(QEvent::KeyPress, key, modifiers, typedText(key, modifiers));
        QCoreApplication::sendEvent(target, &press);
        if (!guarded)
            break;
        target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, typedText(key, modifiers));
        QCoreApplication::sendEvent(target, &release);
    }
    return {};
}

QString type(QObject *target, const QString &name, const QString &text)
{
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget)
        return name + QStringLiteral(" is not a text field");
    if (const QString why = unusable(name, widget); !why.isEmpty())
        return why;
    QLineEdit *edit = qobject_cast<QLineEdit *>(widget);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        edit = combo->lineEdit();
        if (!edit)
            return name + QStringLiteral(" takes no typing: choose one of its entries");
    }
    if (edit) {
        if (edit->isReadOnly())
            return name + QStringLiteral(" is read-only");
        // Typed over the selected old text, so the field hears of the edit as it would.
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        edit->insert(text);
        return {};
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        plain->setPlainText(text);
        return {};
    }
    if (auto *rich = qobject_cast<QTextEdit *>(widget)) {
        rich->setPlainText(text);
        return {};
    }
    return name + QStringLiteral(" is not a text field");
}

} // namespace UserInput
