#pragma once

#include <QJSValue>
#include <QObject>
#include <QPointer>
#include <QString>

class QJSEngine;
class ScriptHandlers;
class Vellix;

// The functions a script calls, other than the windows' own: clicking in the control, its
// menu, the handlers for boxes and windows, waiting, output, and files for the script's own
// checks. The host makes each of them a global function.
class ScriptApi : public QObject
{
    Q_OBJECT

public:
    ScriptApi(Vellix *control, ScriptHandlers *handlers, QJSEngine *engine,
              QObject *parent = nullptr);

    // The names the host makes global.
    static QStringList functionNames();

    Q_INVOKABLE void click(const QString &name);
    Q_INVOKABLE void trigger(const QString &name);
    Q_INVOKABLE void loadfunc(const QJSValue &function);

    Q_INVOKABLE void onBox(const QJSValue &handler);
    Q_INVOKABLE void onInput(const QJSValue &handler);
    Q_INVOKABLE void onWindow(const QString &name, const QJSValue &handler);
    Q_INVOKABLE QJSValue window(const QString &name);

    Q_INVOKABLE void wait(int milliseconds);
    Q_INVOKABLE bool waitFor(const QJSValue &condition, int milliseconds);
    // Calls the function once that time has passed, from whatever runs the message loop then:
    // a window's handler that waits holds up the control until it returns, while a function
    // called later acts while the control works (Cancel while the status window connects).
    Q_INVOKABLE void after(int milliseconds, const QJSValue &function);

    Q_INVOKABLE void log(const QString &text);
    // Ends the run with status 1; where is the script's stack at the call.
    Q_INVOKABLE void fail(const QString &text, const QString &where);
    Q_INVOKABLE QJSValue env(const QString &name);
    Q_INVOKABLE QString readFile(const QString &path);
    Q_INVOKABLE void writeFile(const QString &path, const QString &text);
    Q_INVOKABLE bool exists(const QString &path);

private:
    bool requireCallable(const QJSValue &value, const QString &what);

    QPointer<Vellix> m_control;
    ScriptHandlers *m_handlers;
    QJSEngine *m_engine;
};
