#include "widgets/QtUi.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using Platform::Ui;

namespace {

QMessageBox::Icon boxIcon(Ui::Icon icon)
{
    switch (icon) {
    case Ui::Icon::Critical:
        return QMessageBox::Critical;
    case Ui::Icon::Question:
        return QMessageBox::Question;
    case Ui::Icon::Exclamation:
        return QMessageBox::Warning;
    case Ui::Icon::Information:
        return QMessageBox::Information;
    case Ui::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(Ui::Answer answer)
{
    switch (answer) {
    case Ui::Answer::OK:
        return QMessageBox::Ok;
    case Ui::Answer::Cancel:
        return QMessageBox::Cancel;
    case Ui::Answer::Abort:
        return QMessageBox::Abort;
    case Ui::Answer::Retry:
        return QMessageBox::Retry;
    case Ui::Answer::Ignore:
        return QMessageBox::Ignore;
    case Ui::Answer::Yes:
        return QMessageBox::Yes;
    case Ui::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// Message texts separate their lines with CR LF; Qt breaks lines at LF.
QString displayText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

QtUi::~QtUi()
{
    // The default seam goes when the application object has gone, and its cursor with it.
    if (m_pointer == Pointer::Hourglass && qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}

void QtUi::makeDefault()
{
    static QtUi *dialogs = nullptr;
    if (dialogs)
        return;
    dialogs = new QtUi;
    Ui::setDefault(dialogs);
    QObject::connect(qApp, &QObject::destroyed, [] {
        Ui::setDefault(nullptr);
        delete dialogs;
        dialogs = nullptr;
    });
}

Ui::Answer QtUi::messageBox(const QString &text, Buttons buttons, Icon icon, const QString &title,
                            int defaultButton)
{
    const Answer fallback = defaultAnswer(buttons, defaultButton);
    QMessageBox box(boxIcon(icon), effectiveTitle(title), displayText(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    const QList<Answer> answers = answersOf(buttons);
    for (const Answer answer : answers) {
        QPushButton *button = box.addButton(standardButton(answer));
        if (answer == fallback)
            box.setDefaultButton(button);
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Answer answer : answers) {
        if (standardButton(answer) == clicked)
            return answer;
    }
    // Closed without a button: the way out that the buttons offer.
    return answers.contains(Answer::Cancel) ? Answer::Cancel : fallback;
}

std::optional<QString> QtUi::inputBox(const QString &prompt, const QString &title,
                                      const QString &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(effectiveTitle(title));
    dialog.setLabelText(displayText(prompt));
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtUi::setMousePointer(Pointer pointer)
{
    if (pointer == m_pointer)
        return;
    m_pointer = pointer;
    // One override cursor of our own: set once, removed once, never one the host pushed.
    if (pointer == Pointer::Hourglass)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
