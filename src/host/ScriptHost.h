#pragma once

#include <QJSEngine>
#include <QObject>
#include <QString>

#include <memory>

class HostWindow;
class ScriptApi;
class ScriptHandlers;
class Watchdog;
class WindowWatcher;

// Runs a script against the host's control and the windows it opens, as a page's script and
// a person would: `control` is the control, the functions of ScriptApi are global, and the
// windows are met as they are shown. The program ends with status 0 when the script's
// top-level code has returned, 1 when it called fail() or threw, 3 when it ran out of time.
class ScriptHost : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        QString shotsFolder;      // a picture of every window met goes there (none if empty)
        int timeoutSeconds = 300; // the run ends with status 3 after so long
    };

    ScriptHost(HostWindow &window, const Settings &settings, QObject *parent = nullptr);
    ~ScriptHost() override;

    // Windows are met from construction on, so that the host window is met too when it is
    // shown after. start() runs the script from the event loop.
    void start(const QString &source, const QString &fileName);

    // The script that --auto runs: click Upload, answer every box by default, and fail unless
    // the upload was announced as successful.
    static QString autoPilotSource();

private:
    void run(const QString &source, const QString &fileName);

    // Destroyed last: the handlers and the API hold the script's values.
    QJSEngine m_engine;
    std::unique_ptr<ScriptHandlers> m_handlers;
    std::unique_ptr<Watchdog> m_watchdog;
    ScriptApi *m_api;
    WindowWatcher *m_watcher;
    HostWindow &m_window;
};
