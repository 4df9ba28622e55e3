#include "operations/SessionOpener.h"

#include "course/CipherComponent.h"
#include "course/ConfigFile.h"
#include "course/ConnectionPaths.h"
#include "course/SharedState.h"
#include "platform/TextValue.h"
#include "transport/cFTP.h"

namespace {

bool courseWantsSecure(const CipherComponent &component, const QString &courseName)
{
    const QByteArray stored = ConfigFile().bytes(courseName, QStringLiteral("secure"));
    const QString value = QString::fromUtf8(component.Decipher(stored, component.Key()));
    return Val(value) != 0;
}

} // namespace

bool ChooseSecureChannel()
{
    SharedState &state = Shared();
    if (!state.Component)
        state.Component = std::make_unique<CipherComponent>();
    cFTP *client = state.FtpClient.get();
    if (client)
        client->setSecure(courseWantsSecure(*state.Component, state.CourseName));
    return client && client->secure();
}

bool OpenSharedSession(const std::function<bool()> &stopRequested)
{
    SharedState &state = Shared();
    cFTP *client = state.FtpClient.get();
    const ConnectionPaths::Site site =
        ConnectionPaths::beforeConnect(state.Host, state.SiteName, state.RemoteDir);
    state.Host = site.host;
    state.SiteName = site.siteName;
    state.WebRoot = site.webRoot;

    if (client)
        client->setTlsMode(state.Tls);
    // The control makes the client when it starts; without one there is nothing to connect.
    const bool connected =
        client && client->OpenConnection(state.Host, state.UserId, state.Password, stopRequested);
    if (connected) {
        state.HomeDir = client->GetFTPDirectory();
        const ConnectionPaths::ServerPaths paths =
            ConnectionPaths::afterConnect(state.HomeDir, state.RemoteDir);
        state.WebRoot = paths.webRoot;
        state.RemoteDir = paths.remoteDir;
    }
    return connected;
}
