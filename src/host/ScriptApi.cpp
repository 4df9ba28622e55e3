#include "host/ScriptApi.h"

#include "control/Vellix.h"
#include "host/ScriptExit.h"
#include "host/ScriptFunctionObject.h"
#include "host/ScriptHandlers.h"
#include "host/ScriptWindow.h"
#include "host/UserInput.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJSEngine>
#include <QMenu>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// The first line of the stack that is the script's own: "name@file:line".
QString callerOf(const QString &stack)
{
    const QStringList frames = stack.split(u'\n', Qt::SkipEmptyParts);
    const QString frame = frames.value(1, frames.value(0));
    const qsizetype at = frame.indexOf(u'@');
    return QFileInfo(frame.mid(at + 1)).fileName();
}

// The entry a person can reach: the control's own, else the one of the window in front (the
// modal window that is active, then any window shown). Windows that are hidden, such as a list
// window's twin, may hold an entry of the same name.
QAction *actionNamed(Vellix *control, const QString &name)
{
    if (control) {
        if (auto *action = control->findChild<QAction *>(name))
            return action;
    }
    QList<QWidget *> windows;
    if (QWidget *front = QApplication::activeModalWidget())
        windows.append(front);
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible())
            windows.append(top);
    }
    for (QWidget *window : std::as_const(windows)) {
        if (auto *action = window->findChild<QAction *>(name))
            return action;
    }
    return nullptr;
}

} // namespace

ScriptApi::ScriptApi(Vellix *control, ScriptHandlers *handlers, QJSEngine *engine, QObject *parent)
    : QObject(parent)
    , m_control(control)
    , m_handlers(handlers)
    , m_engine(engine)
{}

QStringList ScriptApi::functionNames()
{
    return {QStringLiteral("click"),    QStringLiteral("trigger"),   QStringLiteral("loadfunc"),
            QStringLiteral("onBox"),    QStringLiteral("onInput"),   QStringLiteral("onWindow"),
            QStringLiteral("window"),   QStringLiteral("wait"),      QStringLiteral("waitFor"),
            QStringLiteral("after"),    QStringLiteral("log"),       QStringLiteral("env"),
            QStringLiteral("readFile"), QStringLiteral("writeFile"), QStringLiteral("exists")};
}

bool ScriptApi::requireCallable(const QJSValue &value, const QString &what)
{
    if (value.isCallable())
        return true;
    m_engine->throwError(QJSValue::TypeError, what + QStringLiteral(" takes a function"));
    return false;
}

void ScriptApi::click(const QString &name)
{
    QObject *target = m_control ? m_control->findChild<QObject *>(name) : nullptr;
    if (!target) {
        m_engine->throwError(QStringLiteral("the control has no child named %1; its named "
                                            "children: %2")
                                 .arg(name, ScriptWindow::namedChildren(m_control)));
        return;
    }
    if (const QString why = UserInput::click(target, name); !why.isEmpty())
        m_engine->throwError(why);
}

void ScriptApi::trigger(const QString &name)
{
    QAction *action = actionNamed(m_control, name);
    if (!action) {
        m_engine->throwError(QStringLiteral("no menu holds an entry named %1").arg(name));
        return;
    }
    if (!action->isEnabled() || !action->isVisible()) {
        m_engine->throwError(name + QStringLiteral(" is disabled"));
        return;
    }
    // The menu closes before the command runs, as when the entry is clicked.
    for (QObject *holder : action->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(holder); menu && menu->isVisible())
            menu->hide();
    }
    action->trigger();
}

void ScriptApi::loadfunc(const QJSValue &function)
{
    if (!function.isCallable() && !function.property(QStringLiteral("Close")).isCallable()) {
        m_engine->throwError(QJSValue::TypeError,
                             QStringLiteral("loadfunc takes a function or an object with a "
                                            "Close method"));
        return;
    }
    if (m_control)
        m_control->loadfunc(new ScriptFunctionObject(function, this));
}

void ScriptApi::onBox(const QJSValue &handler)
{
    if (requireCallable(handler, QStringLiteral("onBox")))
        m_handlers->setBoxHandler(handler);
}

void ScriptApi::onInput(const QJSValue &handler)
{
    if (requireCallable(handler, QStringLiteral("onInput")))
        m_handlers->setInputHandler(handler);
}

void ScriptApi::onWindow(const QString &name, const QJSValue &handler)
{
    if (!ScriptHandlers::windowNames().contains(name)) {
        m_engine->throwError(QStringLiteral("no window is named %1; the windows: %2")
                                 .arg(name, ScriptHandlers::windowNames().join(u", ")));
        return;
    }
    if (requireCallable(handler, QStringLiteral("onWindow")))
        m_handlers->setWindowHandler(name, handler);
}

QJSValue ScriptApi::window(const QString &name)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->objectName() == name)
            return m_engine->newQObject(new ScriptWindow(top, m_engine));
    }
    return QJSValue(QJSValue::NullValue);
}

void ScriptApi::wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(std::max(milliseconds, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

bool ScriptApi::waitFor(const QJSValue &condition, int milliseconds)
{
    if (!requireCallable(condition, QStringLiteral("waitFor")))
        return false;
    constexpr int Step = 10;
    const QDeadlineTimer deadline(std::max(milliseconds, 0));
    for (;;) {
        const QJSValue result = condition.call();
        if (result.isError()) {
            m_engine->throwError(result);
            return false;
        }
        if (result.toBool())
            return true;
        if (deadline.hasExpired())
            return false;
        wait(Step);
    }
}

void ScriptApi::after(int milliseconds, const QJSValue &function)
{
    if (!requireCallable(function, QStringLiteral("after")))
        return;
    QTimer::singleShot(std::max(milliseconds, 0), this,
                       [function]() mutable { ScriptExit::checked(function.call()); });
}

void ScriptApi::log(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

void ScriptApi::fail(const QString &text, const QString &where)
{
    const QString caller = callerOf(where);
    ScriptExit::now(ScriptExit::Failed, caller.isEmpty()
                                            ? QStringLiteral("failed: ") + text
                                            : caller + QStringLiteral(": failed: ") + text);
}

QJSValue ScriptApi::env(const QString &name)
{
    if (!qEnvironmentVariableIsSet(name.toLocal8Bit().constData()))
        return QJSValue(QJSValue::NullValue);
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString ScriptApi::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_engine->throwError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void ScriptApi::writeFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        m_engine->throwError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

bool ScriptApi::exists(const QString &path)
{
    return QFileInfo::exists(path);
}
