#include "course/ServerFolders.h"

#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/LoginReset.h"
#include "course/ServerFolderWalk.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <limits>

namespace {

const QLatin1Char Slash('/');
constexpr qint64 LargestTotal = std::numeric_limits<qint32>::max();

// The folder the client stands in; empty without a client or an open session.
QString currentFolder()
{
    cFTP *client = Shared().FtpClient.get();
    return client ? client->GetFTPDirectory() : QString();
}

// A server path under the login folder, where every absolute path of the session begins.
QString withHomeDir(const QString &path)
{
    return ConnectionPaths::underHomeDir(Shared().HomeDir, path);
}

// A folder that cannot be entered means the login data leads elsewhere than the course
// expects: the user is told, and the login data is forgotten (the user name too) so that the
// next command asks for it anew; the running command ends.
void resetWrongLogin()
{
    ResetLoginAfterBadDirectory(QStringLiteral("Get Currect Directory Size"));
    SharedState &state = Shared();
    state.UserId.clear();
    state.AbortFlag = true;
}

} // namespace

bool EnterMonthFolder()
{
    SharedState &state = Shared();
    state.RemoteRoot = Slash;
    state.WebRoot = CollapseSlashes(Slash + state.WebRootPath);
    const QString monthPath =
        withHomeDir(CollapseSlashes(state.WebRoot + Slash + state.CourseName + Slash +
                                    state.ArchiveName + Slash + state.MonthFolder));
    state.WebRoot = withHomeDir(state.WebRoot);

    cFTP *client = state.FtpClient.get();
    if (!client)
        return false;
    client->SetFTPDirectory(monthPath);
    return client->GetFTPDirectory() == monthPath;
}

QString MonthFolderOnServer()
{
    const SharedState &state = Shared();
    return ConnectionPaths::underHomeDir(state.HomeDir, state.MonthFolderPath);
}

void EnsureConnected()
{
    if (!currentFolder().isEmpty())
        return;
    // A copy: the routine may install another while it runs.
    if (const std::function<void()> reconnect = Shared().Reconnect)
        reconnect();
}

double RemoteFolderSize(const QString &path)
{
    SharedState &state = Shared();
    if (currentFolder().isEmpty()) {
        EnsureConnected();
        if (state.ConnectionFailed) {
            state.ConnectionFailed = false;
            return 0;
        }
    }
    cFTP *client = state.FtpClient.get();
    if (!client)
        return 0;

    // The month folder's total is kept for the windows that show it.
    ServerFolderWalk walk(*client, {.counted = [](const QString &folder, qint64 bytes) {
        if (folder == Shared().MonthFolderPath)
            Shared().MonthFolderSize = qint32(qMin(bytes, LargestTotal));
    }});
    const ServerFolderWalk::Result result = walk.walk(path);
    if (result.outcome == ServerFolderWalk::Outcome::NotEntered) {
        resetWrongLogin();
        return -1;
    }
    // The total is a 32-bit number: beyond it, it stays at the largest one.
    return double(qMin(result.bytes, LargestTotal));
}
