#include "course/SharedClient.h"

#include "course/RunScope.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "transport/cFTP.h"

cFTP &CreateSharedClient(std::function<void()> pumpMessages,
                         std::function<bool()> secureConnectGoesOn)
{
    SharedState &state = Shared();
    // The earlier client closes its session before the new one is made.
    state.FtpClient.reset();
    state.HomeDir.clear();
    state.FtpClient = std::make_unique<cFTP>();
    cFTP &client = *state.FtpClient;
    client.setHooks({
        .pumpMessages = std::move(pumpMessages),
        .cancelRequested = &RunScope::cancelRequested,
        .secureConnectGoesOn = std::move(secureConnectGoesOn),
        .beforeSecureCommand = &RunScope::clearStop,
    });
    client.setTemporaryFolder(HostDriveRoot());
    client.SetTransferBinary();
    return client;
}
