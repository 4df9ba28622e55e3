#include "viewer/WebEngineStartup.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <unistd.h>

namespace WebEngineStartup {

namespace {

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

} // namespace

void prepare()
{
    static const bool prepared = [] {
        turnOffSandboxForRoot();
        shareOpenGLContexts();
        return true;
    }();
    Q_UNUSED(prepared);
}

} // namespace WebEngineStartup
