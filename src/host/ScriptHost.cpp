#include "host/ScriptHost.h"

#include "control/Vellix.h"
#include "host/HostWindow.h"
#include "host/ScriptApi.h"
#include "host/ScriptExit.h"
#include "host/ScriptHandlers.h"
#include "host/Watchdog.h"
#include "host/WindowWatcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {

// Makes a global function of the API's function `name`, and of fail() one that passes the
// stack, so that its message names the line that called it.
const QString GlobalFunction = QStringLiteral(R"js(
(function (api, name) {
    if (name === "fail")
        return function (text) { api.fail(String(text), new Error().stack); };
    return function () { return api[name].apply(api, arguments); };
})
)js");

} // namespace

ScriptHost::ScriptHost(HostWindow &window, const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_handlers(std::make_unique<ScriptHandlers>(&m_engine))
    , m_watchdog(std::make_unique<Watchdog>(std::chrono::seconds(settings.timeoutSeconds)))
    , m_api(new ScriptApi(window.control(), m_handlers.get(), &m_engine, this))
    , m_watcher(new WindowWatcher(m_handlers.get(), settings.shotsFolder, this))
    , m_window(window)
{
    m_engine.installExtensions(QJSEngine::ConsoleExtension);
    connect(m_watcher, &WindowWatcher::frontWindowChanged, this,
            [this](const QString &description) { m_watchdog->setOpenWindow(description); });
}

ScriptHost::~ScriptHost()
{
    // Before the handlers they call and the engine whose values they hold.
    delete m_watcher;
    delete m_api;
}

QString ScriptHost::autoPilotSource()
{
    QFile file(QStringLiteral(":/host/auto.js"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void ScriptHost::start(const QString &source, const QString &fileName)
{
    QTimer::singleShot(0, this, [this, source, fileName] { run(source, fileName); });
}

void ScriptHost::run(const QString &source, const QString &fileName)
{
    QJSValue globals = m_engine.globalObject();
    globals.setProperty(QStringLiteral("control"), m_engine.newQObject(m_window.control()));
    const QJSValue makeGlobal = ScriptExit::checked(m_engine.evaluate(GlobalFunction));
    const QJSValue api = m_engine.newQObject(m_api);
    const QStringList names = ScriptApi::functionNames() << QStringLiteral("fail");
    for (const QString &name : names)
        globals.setProperty(name, ScriptExit::checked(makeGlobal.call({api, name})));

    ScriptExit::endOnHandlerErrors(fileName);
    ScriptExit::checked(m_engine.evaluate(source, fileName, 1));
    QCoreApplication::exit(ScriptExit::Done);
}
