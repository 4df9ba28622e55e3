#include "viewer/WebEngineStartup.h"

#include <QByteArray>

#include <unistd.h>

namespace WebEngineStartup {

namespace {

void turnOffSandboxForRoot()
{
    // An explicit choice of the user's, either way, stands.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

void prepare()
{
    static const bool prepared = [] {
        turnOffSandboxForRoot();
        return true;
    }();
    Q_UNUSED(prepared);
}

} // namespace WebEngineStartup
