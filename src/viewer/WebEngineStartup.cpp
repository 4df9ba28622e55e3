#include "viewer/WebEngineStartup.h"

#include "viewer/ViewerScheme.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QStringList>
#include <QWebEngineProfile>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <optional>
#include <unistd.h>

namespace WebEngineStartup {

namespace {

// Qt WebEngine reads Chromium's switches from here as the browser starts.
constexpr char SwitchesVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
// Peer connections without UDP, and no host name or address that resolves, which every other
// connection needs.
constexpr char SealingSwitches[] = "--force-webrtc-ip-handling-policy=disable_non_proxied_udp "
                                   "\"--host-resolver-rules=MAP * ~NOTFOUND\"";

void turnOffSandboxForRoot()
{
    // An explicit choice of the user's, either way, stands.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void shareOpenGLContexts()
{
    if (!QOpenGLContext::globalShareContext() && qobject_cast<QGuiApplication *>(qApp))
        QtWebEngineQuick::initialize();
}

// The switches that the program gives the browser: those of the environment, or else its
// arguments after "--webEngineArgs", which Qt WebEngine reads only when the environment names
// none. Qt WebEngine splits the variable at blanks outside double quotes.
QByteArray programSwitches()
{
    if (qEnvironmentVariableIsSet(SwitchesVariable))
        return qgetenv(SwitchesVariable);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype marker = arguments.indexOf(QStringLiteral("--webEngineArgs"));
    if (marker < 0)
        return {};
    QStringList quoted;
    for (const QString &argument : arguments.sliced(marker + 1))
        quoted << (argument.contains(u' ') ? u'"' + argument + u'"' : argument);
    return quoted.join(u' ').toLocal8Bit();
}

void startWithSealingSwitches()
{
    const std::optional<QByteArray> before = qEnvironmentVariableIsSet(SwitchesVariable)
                                                 ? std::optional(qgetenv(SwitchesVariable))
                                                 : std::nullopt;
    qputenv(SwitchesVariable, (programSwitches() + ' ' + SealingSwitches).trimmed());
    {
        // The first profile starts the browser, which stays when the profile goes.
        const QWebEngineProfile starter;
    }
    if (before)
        qputenv(SwitchesVariable, *before);
    else
        qunsetenv(SwitchesVariable);
}

} // namespace

bool startSealed()
{
    static const bool sealed = [] {
        turnOffSandboxForRoot();
        shareOpenGLContexts();
        // A browser that the host started before took neither the scheme nor the switches.
        if (!ViewerScheme::registerScheme())
            return false;
        startWithSealingSwitches();
        return true;
    }();
    return sealed;
}

} // namespace WebEngineStartup
