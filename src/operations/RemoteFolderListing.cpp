#include "operations/RemoteFolderListing.h"

#include "course/ConnectionPaths.h"
#include "course/FileTypes.h"
#include "course/LoginReset.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/ExitableWait.h"
#include "operations/FileListOperations.h"
#include "operations/NotListed.h"
#include "platform/DosPath.h"
#include "platform/PartialName.h"
#include "platform/Ui.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

using Platform::Ui;

namespace {

// The folder as the list enters it: under the login folder, without a trailing "/".
QString folderToEnter()
{
    QString path =
        ConnectionPaths::underHomeDir(Shared().HomeDir, FileListOperations::listedFolder());
    if (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

void resetLogin()
{
    SharedState &shared = Shared();
    Platform::setMousePointer(Ui::Pointer::Default);
    if (shared.SuppressReset)
        return;
    shared.Password.clear();
    shared.UserId.clear();
    ResetLoginData(true);
    shared.ConnectionFailed = false;
    shared.LoggedIn = false;
    Platform::messageBox(QStringLiteral("Your login data has been reset."), Ui::Buttons::OK,
                         Ui::Icon::Critical, QStringLiteral("Bad Directory Info"));
}

} // namespace

RemoteFolderListing::Result RemoteFolderListing::read(const QString &nameToPreselect)
{
    return read(nameToPreselect, [] { return false; });
}

RemoteFolderListing::Result RemoteFolderListing::readInWindow(const QString &nameToPreselect,
                                                              ListWindowPort &window,
                                                              ExitableWait::Window shown)
{
    const ExitableWait wait(window, shown);
    return read(nameToPreselect, [&wait] { return wait.stopped(); });
}

RemoteFolderListing::Result RemoteFolderListing::read(const QString &nameToPreselect,
                                                      const std::function<bool()> &stopped)
{
    SharedState &shared = Shared();
    cFTP &client = *shared.FtpClient;
    Result result;
    const auto inFolder = [&client] {
        client.SetFTPDirectory(folderToEnter());
        return client.GetFTPDirectory() == MonthFolderOnServer();
    };
    const MonthFolderStart start = StartInMonthFolder(inFolder, stopped);
    // The user's own Exit is no failure of the connection or the login.
    if (stopped()) {
        result.outcome = Outcome::Stopped;
        return result;
    }
    switch (start) {
    case MonthFolderStart::Entered:
        break;
    case MonthFolderStart::NoConnection:
    case MonthFolderStart::LoginRefused:
        shared.ConnectionFailed = true;
        return result;
    case MonthFolderStart::WrongFolder:
        resetLogin();
        result.outcome = Outcome::WrongFolder;
        return result;
    }

    result.outcome = Outcome::Listed;
    const std::shared_ptr<cDirList> listing = client.GetDirectoryListing(QStringLiteral("*"));
    if (stopped()) {
        result.outcome = Outcome::Stopped;
        return result;
    }
    if (const QString why = client.ListingError(); !why.isEmpty()) {
        TellNotListed(why);
        return result;
    }
    if (!listing || (listing->Count() > 0 && listing->Item(1)->Filename.contains(u':')))
        return result;
    result.rows.reserve(listing->Count());
    for (const cDirItem &entry : *listing) {
        // An upload's temporary file is no file of the user's.
        if (entry.Directory || !Platform::DosPath::isPlainName(entry.Filename) ||
            PartialName::isPartialName(entry.Filename) ||
            !ExtensionAllowed(ExtensionOf(entry.Filename)))
            continue;
        if (entry.Filename == nameToPreselect && result.preselected < 0)
            result.preselected = static_cast<int>(result.rows.size());
        // Records keep the low 32 bits of a size: read them unsigned, right up to 4 GiB.
        result.rows.append(FileRow::listed(entry.Filename, static_cast<quint32>(entry.FileSize),
                                           entry.LastWriteTime));
    }
    return result;
}
