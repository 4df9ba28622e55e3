#include "host/ScriptHandlers.h"

#include "host/ScriptExit.h"
#include "host/ScriptWindow.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QJSEngine>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace {

QString iconName(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Critical:
        return QStringLiteral("critical");
    case QMessageBox::Warning:
        return QStringLiteral("exclamation");
    case QMessageBox::Information:
        return QStringLiteral("information");
    case QMessageBox::Question:
        return QStringLiteral("question");
    case QMessageBox::NoIcon:
        break;
    }
    return QStringLiteral("none");
}

// A button's text without its mnemonic: "&Yes" reads "Yes", "&&" reads "&".
QString plainText(const QAbstractButton *button)
{
    QString text = button->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&')
            text.remove(i, 1);
    }
    return text;
}

// The box's buttons in the order the control offers them (OK Cancel, Abort Retry Ignore,
// Yes No Cancel, Retry Cancel), whatever order the desktop's style lays them out in.
QList<QAbstractButton *> buttonsInOrder(const QMessageBox *box)
{
    static const QList<QMessageBox::StandardButton> order{
        QMessageBox::Ok,  QMessageBox::Abort, QMessageBox::Retry,  QMessageBox::Ignore,
        QMessageBox::Yes, QMessageBox::No,    QMessageBox::Cancel,
    };
    const auto rank = [box](QAbstractButton *button) {
        const qsizetype at = order.indexOf(box->standardButton(button));
        return at < 0 ? order.size() : at;
    };
    QList<QAbstractButton *> buttons = box->buttons();
    std::stable_sort(buttons.begin(), buttons.end(),
                     [&](QAbstractButton *a, QAbstractButton *b) { return rank(a) < rank(b); });
    return buttons;
}

bool answered(const QJSValue &result)
{
    return !result.isUndefined() && !result.isNull();
}

} // namespace

ScriptHandlers::ScriptHandlers(QJSEngine *engine)
    : m_engine(engine)
{}

const QStringList &ScriptHandlers::windowNames()
{
    static const QStringList names{
        QStringLiteral("frmLogin"),    QStringLiteral("frmMsg"),   QStringLiteral("frmServer"),
        QStringLiteral("frmServerUp"), QStringLiteral("frmDir"),   QStringLiteral("frmView"),
        QStringLiteral("frmSpace"),    QStringLiteral("frmAbout"), QStringLiteral("frmTransfer"),
    };
    return names;
}

void ScriptHandlers::setWindowHandler(const QString &name, const QJSValue &handler)
{
    m_windows.insert(name, handler);
}

void ScriptHandlers::boxShown(QMessageBox *box)
{
    const QList<QAbstractButton *> buttons = buttonsInOrder(box);
    QStringList texts;
    for (const QAbstractButton *button : buttons)
        texts.append(plainText(button));

    QString answer;
    if (m_box.isCallable()) {
        QJSValue seen = m_engine->newObject();
        seen.setProperty(QStringLiteral("title"), box->windowTitle());
        seen.setProperty(QStringLiteral("text"), box->text());
        seen.setProperty(QStringLiteral("icon"), iconName(box->icon()));
        seen.setProperty(QStringLiteral("buttons"), m_engine->toScriptValue(texts));
        const QPointer<QMessageBox> guarded(box);
        const QJSValue result = ScriptExit::checked(m_box.call({seen}));
        if (!guarded || !guarded->isVisible())
            return;
        if (answered(result))
            answer = result.toString();
    }
    QAbstractButton *button = box->defaultButton();
    if (!answer.isEmpty()) {
        const qsizetype at = texts.indexOf(answer);
        if (at < 0) {
            ScriptExit::now(ScriptExit::Failed,
                            QStringLiteral("the box \"%1\" has no button \"%2\"; its buttons: %3")
                                .arg(box->windowTitle(), answer, texts.join(QLatin1String(", "))));
        }
        button = buttons.at(at);
    }
    if (!button && !buttons.isEmpty())
        button = buttons.constFirst();
    if (button)
        button->click();
    else
        box->close();
}

void ScriptHandlers::inputShown(QInputDialog *input)
{
    if (m_input.isCallable()) {
        QJSValue seen = m_engine->newObject();
        seen.setProperty(QStringLiteral("title"), input->windowTitle());
        seen.setProperty(QStringLiteral("prompt"), input->labelText());
        seen.setProperty(QStringLiteral("value"), input->textValue());
        const QPointer<QInputDialog> guarded(input);
        const QJSValue result = ScriptExit::checked(m_input.call({seen}));
        if (!guarded || !guarded->isVisible())
            return;
        if (result.isNull()) {
            input->reject();
            return;
        }
        if (!result.isUndefined())
            input->setTextValue(result.toString());
    }
    input->accept();
}

void ScriptHandlers::windowShown(QWidget *window)
{
    const QJSValue handler = m_windows.value(window->objectName());
    if (!handler.isCallable())
        return;
    const QJSValue seen = m_engine->newQObject(new ScriptWindow(window, m_engine));
    ScriptExit::checked(handler.call({seen}));
}
