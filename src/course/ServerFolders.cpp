#include "course/ServerFolders.h"

#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/LoginReset.h"
#include "course/SharedState.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <limits>
#include <memory>

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

// The size of a listing entry: the listing keeps the low 32 bits of a file's size, which read
// unsigned are right up to 4 GiB.
qint64 entrySize(const cDirItem &entry)
{
    return qint64(quint32(entry.FileSize));
}

qint64 folderTotal(cFTP &client, const QString &path);

// Enters a folder and sums the files below it; -1 when it or a sub-folder cannot be entered.
// The month folder's total is kept for the windows that show it.
qint64 walk(cFTP &client, const QString &path)
{
    if (!client.SetFTPDirectory(path) || client.GetFTPDirectory() != path) {
        resetWrongLogin();
        return -1;
    }
    const qint64 total = folderTotal(client, path);
    if (total >= 0 && path == Shared().MonthFolderPath)
        Shared().MonthFolderSize = qint32(total);
    return total;
}

// The sum below the folder the client has just entered.
qint64 folderTotal(cFTP &client, const QString &path)
{
    // Held here: the walk into a sub-folder replaces the client's listing, not this one.
    const std::shared_ptr<cDirList> entries = client.GetDirectoryListing(QStringLiteral("*"));
    if (!entries)
        return 0;
    const QString parent = path.endsWith(Slash) ? path : path + Slash;
    qint64 total = 0;
    for (const cDirItem &entry : *entries) {
        if (entry.Filename == QLatin1String(".") || entry.Filename == QLatin1String(".."))
            continue;
        if (entry.Directory) {
            const qint64 size = walk(client, parent + entry.Filename);
            if (size < 0)
                return size;
            total += size;
        } else {
            total += entrySize(entry);
        }
        // The total is a 32-bit number: beyond it, it stays at the largest one.
        total = qMin(total, LargestTotal);
    }
    return total;
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

    return double(walk(*client, path));
}
