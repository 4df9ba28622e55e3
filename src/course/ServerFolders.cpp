#include "course/ServerFolders.h"

#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/LoginReset.h"
#include "course/RunScope.h"
#include "course/ServerFolderWalk.h"
#include "course/SharedState.h"
#include "transport/cFTP.h"

#include <limits>
#include <optional>

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
    RunScope::abortCommand();
}

// The server paths a running command works with.
struct CommandPaths
{
    QString webRoot;
    QString remoteDir;
    QString archiveDir;
    QString monthFolderPath;
};

CommandPaths commandPaths(const SharedState &state)
{
    return {state.WebRoot, state.RemoteDir, state.ArchiveDir, state.MonthFolderPath};
}

// A path the command had made absolute under the old login folder goes under the new one (the
// same folder, as a rule); one it had not yet made absolute stays as the reconnect left it.
void keepPath(QString &path, const QString &before, const QString &homeBefore, const QString &home)
{
    const bool underHome = before.startsWith(homeBefore) &&
                           (before.size() == homeBefore.size() || homeBefore.endsWith(Slash) ||
                            before.at(homeBefore.size()) == Slash);
    if (!underHome)
        return;
    const QString rest = before.mid(homeBefore.size());
    path = rest.isEmpty() ? home : CollapseSlashes(home + Slash + rest);
}

void keepCommandPaths(const CommandPaths &before, const QString &homeBefore, SharedState &state)
{
    const QString &home = state.HomeDir;
    keepPath(state.WebRoot, before.webRoot, homeBefore, home);
    keepPath(state.RemoteDir, before.remoteDir, homeBefore, home);
    keepPath(state.ArchiveDir, before.archiveDir, homeBefore, home);
    keepPath(state.MonthFolderPath, before.monthFolderPath, homeBefore, home);
}

// Whether a file is in the folder, entered again first; nothing when the server cannot tell.
std::optional<bool> serverFileExists(const QString &folder, const QString &name)
{
    if (!EnterServerFolder(folder))
        return std::nullopt;
    return Shared().FtpClient->FTPFileExists(name);
}

// Sends the client into the month folder, whose path it puts in monthPath: where the server
// then says the session stands, empty when the session is lost.
QString standingAfterEnteringMonthFolder(QString &monthPath)
{
    SharedState &state = Shared();
    state.RemoteRoot = Slash;
    state.WebRoot = CollapseSlashes(Slash + state.WebRootPath);
    monthPath = withHomeDir(CollapseSlashes(state.WebRoot + Slash + state.CourseName + Slash +
                                            state.ArchiveName + Slash + state.MonthFolder));
    state.WebRoot = withHomeDir(state.WebRoot);

    cFTP *client = state.FtpClient.get();
    if (!client)
        return {};
    client->SetFTPDirectory(monthPath);
    return client->GetFTPDirectory();
}

} // namespace

bool EnterMonthFolder()
{
    QString monthPath;
    return standingAfterEnteringMonthFolder(monthPath) == monthPath;
}

bool EnterOrMakeMonthFolder()
{
    QString monthPath;
    const QString standing = standingAfterEnteringMonthFolder(monthPath);
    if (standing == monthPath)
        return true;
    // A session that stands nowhere is lost: nothing is made over it.
    if (standing.isEmpty())
        return false;
    return Shared().FtpClient->CreateFTPDirectory(MonthFolderOnServer()) && EnterMonthFolder();
}

QString MonthFolderOnServer()
{
    const SharedState &state = Shared();
    return ConnectionPaths::underHomeDir(state.HomeDir, state.MonthFolderPath);
}

bool EnsureConnected()
{
    if (!currentFolder().isEmpty())
        return true;
    // A copy: the routine may install another while it runs.
    const std::function<bool()> reconnect = Shared().Reconnect;
    if (!reconnect)
        return false;
    SharedState &state = Shared();
    const QString homeBefore = state.HomeDir;
    const CommandPaths before = commandPaths(state);
    // A routine that says it connected is believed only while the client agrees.
    const bool connected = reconnect() && !currentFolder().isEmpty();
    // Without an earlier session there are no paths to keep: this is a command's first connect.
    if (connected && !homeBefore.isEmpty())
        keepCommandPaths(before, homeBefore, state);
    return connected;
}

MonthFolderStart StartInMonthFolder(const std::function<bool()> &enter,
                                    const std::function<bool()> &stopped)
{
    constexpr int Attempts = 2;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const cFTP *client = Shared().FtpClient.get();
        if (attempt > 0 && stopped && stopped())
            return MonthFolderStart::NoConnection;
        if (!EnsureConnected())
            return client && client->loginRefused() ? MonthFolderStart::LoginRefused
                                                    : MonthFolderStart::NoConnection;
        if (enter())
            return MonthFolderStart::Entered;
        // A session that still stands was simply not let in.
        if (!currentFolder().isEmpty())
            return MonthFolderStart::WrongFolder;
    }
    return MonthFolderStart::NoConnection;
}

std::optional<qint32> MonthFolderFileSize(const QString &name, const std::function<bool()> &stopped)
{
    constexpr int Attempts = 2;
    std::optional<qint32> size;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if ((stopped && stopped()) ||
            StartInMonthFolder(EnterMonthFolder, stopped) != MonthFolderStart::Entered)
            return std::nullopt;
        size = Shared().FtpClient->GetFTPFileSize(name);
        if (*size >= 0 || !currentFolder().isEmpty())
            break;
    }
    return size;
}

bool EnterServerFolder(const QString &folder)
{
    cFTP *client = Shared().FtpClient.get();
    // A relative folder would be taken from wherever a new session starts.
    if (!client || !folder.startsWith(Slash))
        return false;
    return EnsureConnected() && client->SetFTPDirectory(folder);
}

bool ServerFileGone(const QString &folder, const QString &name)
{
    return serverFileExists(folder, name) == false;
}

bool ServerFileRenamed(const QString &folder, const QString &oldName, const QString &newName)
{
    return ServerFileGone(folder, oldName) && Shared().FtpClient->FTPFileExists(newName) == true;
}

std::optional<bool> RenameServerFile(const QString &folder, const QString &oldName,
                                     const QString &newName, const std::function<bool()> &stopped)
{
    if (Shared().FtpClient->RenameFTPFile(oldName, newName) ||
        (!stopped() && ServerFileRenamed(folder, oldName, newName)))
        return true;
    if (stopped())
        return std::nullopt;
    return false;
}

bool DeleteServerFile(const QString &folder, const QString &name)
{
    cFTP &client = *Shared().FtpClient;
    if (client.DeleteFTPFile(name))
        return true;
    const quint64 session = client.connectionNumber();
    const std::optional<bool> exists = serverFileExists(folder, name);
    if (exists == false)
        return true;
    // Standing in the folder in a new session: the deletion never reached the server.
    return exists == true && client.connectionNumber() != session && client.DeleteFTPFile(name);
}

std::optional<double> RemoteFolderSize(const QString &path, const std::function<bool()> &stopped)
{
    const auto goesOn = [&stopped] { return !stopped || !stopped(); };
    if (!goesOn())
        return std::nullopt;
    SharedState &state = Shared();
    if (!EnsureConnected()) {
        // The status window reported the failed connect; the size is simply not known.
        state.ConnectionFailed = false;
        return 0;
    }
    cFTP *client = state.FtpClient.get();
    if (!client)
        return 0;

    // The month folder's total is kept for the windows that show it.
    int reconnections = 0;
    ServerFolderWalk walk(*client,
                          {.goesOn = goesOn,
                           .reconnect =
                               [&reconnections] {
                                   // A drop says nothing about the login data.
                                   return ++reconnections <= ServerFolderWalk::Reconnections &&
                                          EnsureConnected();
                               },
                           .counted =
                               [](const QString &folder, qint64 bytes) {
                                   if (folder == Shared().MonthFolderPath)
                                       Shared().MonthFolderSize = qint32(qMin(bytes, LargestTotal));
                               }});
    const ServerFolderWalk::Result result = walk.walk(path);
    // A stop that came with the server's last answer leaves the walk whole, and stops all the
    // same.
    if (!goesOn())
        return std::nullopt;
    if (result.outcome == ServerFolderWalk::Outcome::NotEntered) {
        resetWrongLogin();
        return -1;
    }
    // A session lost and not brought back counts nothing; the status window told why.
    if (result.outcome == ServerFolderWalk::Outcome::Disconnected)
        return 0;
    // The total is a 32-bit number: beyond it, it stays at the largest one.
    return double(qMin(result.bytes, LargestTotal));
}
