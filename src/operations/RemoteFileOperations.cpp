#include "operations/RemoteFileOperations.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConnectionPaths.h"
#include "course/FileTypes.h"
#include "course/LocalPaths.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/ExitableWait.h"
#include "operations/FileListModel.h"
#include "operations/ListWindowPort.h"
#include "operations/NameTaken.h"
#include "operations/ViewCopy.h"
#include "platform/AutomationDate.h"
#include "platform/DosPath.h"
#include "platform/FileSystemObject.h"
#include "platform/ReplacingFile.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <optional>

using Platform::Ui;

namespace {

const QString RenameCharacters =
    QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789_-~ .@'&!`$^()=+;,[]");
constexpr int ViewAttempts = 5;
constexpr int ExtensionsPerLine = 8;

// Proves the local folder writable with a file of our own, leaving the user's files alone.
bool folderWritable(const QString &dosFolder)
{
    QTemporaryFile probe(Platform::DosPath::toLinux(dosFolder) +
                         QStringLiteral(".vellix-probe-XXXXXX"));
    return probe.open();
}

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The server's last write time of a listed file, in local time as the list shows it.
QDateTime listedTime(const FileRow &row)
{
    return row.modified == 0.0 ? QDateTime()
                               : Platform::AutomationDate::toLocalDateTime(row.modified);
}

// A downloaded file takes the server's time, so that a copy nobody edited never looks newer
// than the server's.
void takeServerTime(const QString &localPath, const QDateTime &serverTime)
{
    QFile file(Platform::DosPath::toLinux(localPath));
    if (serverTime.isValid() && file.open(QIODevice::Append))
        file.setFileTime(serverTime, QFileDevice::FileModificationTime);
}

// The listed file, other than the one at `except`, that `name` names in another case: the
// list holds a name once in any case, and both files would come down to one local file.
std::optional<QString> otherListedName(const FileListModel &model, int except, const QString &name)
{
    for (int index = 0; index < model.count(); ++index) {
        if (index != except && model.row(index).name.compare(name, Qt::CaseInsensitive) == 0)
            return model.row(index).name;
    }
    return std::nullopt;
}

// Why what stands under a download's local name is the user's own, which the download must
// leave as it is: a pipe, a device, a socket or a folder; or a file made read-only, which the
// local rename and delete leave alone too (a link is replaced, whatever it leads to). Empty
// when the download may replace it.
QString keptLocally(const QString &linuxPath)
{
    if (!Platform::ReplacingFile::replaces(linuxPath))
        return QStringLiteral("not a regular file");
    const QFileInfo local(linuxPath);
    if (local.isFile() && !local.isSymLink() && !(local.permissions() & QFile::WriteOwner))
        return QStringLiteral("read-only");
    return {};
}

} // namespace

RemoteFileOperations::RemoteFileOperations(ListWindowPort &window, const QString &localFolder)
    : FileListOperations(window)
    , m_localFolder(localFolder)
{}

void RemoteFileOperations::prepareRemotePath(bool withWebRoot)
{
    SharedState &shared = Shared();
    shared.RemoteDir = ConnectionPaths::underHomeDir(shared.HomeDir, shared.RemoteDir);
    if (withWebRoot)
        shared.WebRoot = ConnectionPaths::underHomeDir(shared.HomeDir, shared.WebRoot);
    // Each file's step enters the folder again when this fails.
    enterFolder(shared.RemoteDir);
}

void RemoteFileOperations::endCancelled(const QString &message, const QString &title)
{
    endTransfers();
    RunScope::setBusy(false);
    hourglass(false);
    Platform::messageBox(message, Ui::Buttons::OK, Ui::Icon::Exclamation, title);
    RunScope::clearCancel();
}

void RemoteFileOperations::copyDown()
{
    SharedState &shared = Shared();
    RunScope::clearCancel();
    shared.DvValue = 1;
    prepareRemotePath(true);
    const CheckedRows rows =
        copyChecked(TransferViewPort::Direction::Down, [this](int row, const QString &name) {
            const Download outcome = downloadChecked(row, m_localFolder + name);
            if (outcome == Download::Stopped)
                return RowEnd::Stop;
            if (outcome != Download::Failed)
                return RowEnd::Next;
            if (!m_window.goesOn()) {
                endCancelled(QStringLiteral("File, '%1', was cancelled by the user.").arg(name),
                             QStringLiteral("Download File"));
                return RowEnd::Stop;
            }
            reportFailedCopy(QStringLiteral("File, '%1', cannot be downloaded to the local PC!\r\n"
                                            "Please verify the drive and directory are correct.")
                                 .arg(name));
            return RowEnd::Next;
        });
    if (rows.stopped || !rows.anyChecked)
        return;
    Platform::messageBox(QStringLiteral("Copy Operation is Complete!"), Ui::Buttons::OK,
                         Ui::Icon::Information);
}

RemoteFileOperations::Download RemoteFileOperations::downloadChecked(int row,
                                                                     const QString &localPath)
{
    const QString &folder = Shared().RemoteDir;
    FileListModel &model = m_window.model();
    const QString name = model.row(row).name;
    // Looked up once for both checks: a name not there yet is looked for in the whole folder.
    const QString linuxPath = Platform::DosPath::toLinux(localPath);
    // Nothing is sent for what the user keeps under that name, and no attempt counts.
    if (const QString kept = keptLocally(linuxPath); !kept.isEmpty()) {
        hourglass(false);
        reportFailedCopy(QStringLiteral("File, '%1', cannot be downloaded: '%2' is %3.")
                             .arg(name, localPath, kept));
        return Download::Refused;
    }
    if (!mayReplace(model.row(row), linuxPath))
        return Download::Kept;
    const Attempt outcome = attemptFile([&] {
        showUnderWay(row, folder + name);
        return enterFolder(folder) && folderWritable(m_localFolder) &&
               transferShown(name, [&](cFTP &ftp) { return ftp.FTPDownloadFile(localPath, name); });
    });
    switch (outcome) {
    case Attempt::Done:
        takeServerTime(localPath, listedTime(model.row(row)));
        markCopied(row, FileListModel::DownloadedImage);
        return Download::Done;
    case Attempt::Stopped:
        endCancelled(QStringLiteral("File '%1', copy was cancelled by user!").arg(name));
        return Download::Stopped;
    case Attempt::Failed:
        break;
    }
    hourglass(false);
    return Download::Failed;
}

bool RemoteFileOperations::mayReplace(const FileRow &row, const QString &linuxPath)
{
    const QFileInfo local(linuxPath);
    const QDateTime serverTime = listedTime(row);
    if (!local.isFile() || !serverTime.isValid() ||
        local.lastModified().toSecsSinceEpoch() <= serverTime.toSecsSinceEpoch())
        return true;
    hourglass(false);
    const bool replace =
        Platform::messageBox(
            QStringLiteral("The file '%1' on your computer is newer than the one on the "
                           "website.\r\nOn your computer: %2\r\nOn the website: %3\r\n"
                           "Do you want to replace your copy with the website's?")
                .arg(row.name, local.lastModified().toString(DateFormat), row.dateText()),
            Ui::Buttons::YesNo, Ui::Icon::Question, QStringLiteral("Replace Newer File"),
            2) == Ui::Answer::Yes;
    hourglass(true);
    return replace;
}

void RemoteFileOperations::deleteChecked()
{
    prepareRemotePath(false);
    if (!confirmDelete())
        return;

    m_window.enterBusy();
    bool deleted = false;
    bool ended = false;
    const auto deleteRow = [&](int, const QString &name) {
        const Attempt outcome = deleteOne(name);
        // A try whose wait for the server Exit ended was stopped, not failed.
        if (outcome == Attempt::Stopped || (outcome == Attempt::Failed && !m_window.goesOn())) {
            endCancelled(QStringLiteral("File '%1', delete was cancelled by user!").arg(name));
            m_window.refreshList();
            // The files deleted before the Exit are gone all the same: the catalogue follows.
            if (deleted && Shared().DvValue > 0) {
                hourglass(true);
                updateArchive(false);
                hourglass(false);
            }
            ended = true;
            return RowEnd::Stop;
        }
        if (outcome == Attempt::Done) {
            deleted = true;
            return RowEnd::Next;
        }
        hourglass(false);
        Platform::messageBox(
            QStringLiteral("File '%1', could not be deleted.  Please try again later.").arg(name),
            Ui::Buttons::OK, Ui::Icon::Critical);
        hourglass(true);
        return RowEnd::Next;
    };
    // A cancel request ends the deletes before the next row, quietly; Exit ends a wait for
    // the server's answer too.
    {
        const cFTP::InterruptibleCommands interruptible(client());
        forEachChecked(deleteRow, [](int, const QString &) {
            return RunScope::cancelRequested() ? RowEnd::Stop : RowEnd::Next;
        });
    }
    if (ended)
        return;

    m_window.leaveBusy();
    RunScope::clearCancel();
    if (!deleted)
        return;
    hourglass(true);
    m_window.refreshList();
    // Exit during the catalogue's rebuild closed the window: nothing more is told.
    const bool goesOn = Shared().DvValue <= 0 || updateArchive(false);
    hourglass(false);
    if (!goesOn)
        return;
    Platform::messageBox(QStringLiteral("Delete Operation is Complete!"), Ui::Buttons::OK,
                         Ui::Icon::Information);
}

FileListOperations::Attempt RemoteFileOperations::deleteOne(const QString &name)
{
    const QString folder = Shared().RemoteDir;
    return attemptFile([&] {
        m_window.showStatus(withSlash(folder) + name);
        return enterFolder(folder) &&
               (client().DeleteFTPFile(name) || ServerFileGone(folder, name));
    });
}

QString RemoteFileOperations::allowedExtensionsText(bool withoutLast)
{
    QString text = QStringLiteral("Please choose one of:\r\n");
    const QStringList &allowed = Shared().AllowedExtensions;
    const qsizetype shown =
        withoutLast ? std::max<qsizetype>(allowed.size() - 1, 0) : allowed.size();
    for (qsizetype i = 0; i < shown; ++i) {
        text += allowed.at(i) + QStringLiteral(", ");
        if ((i + 1) % ExtensionsPerLine == 0)
            text += QStringLiteral("\r\n");
    }
    // The last comma becomes the full stop.
    if (text.size() >= 2)
        text[text.size() - 2] = u'.';
    return text;
}

void RemoteFileOperations::reselectAfterRefresh(int row)
{
    m_window.refreshList();
    m_window.selectRow(-1);
    m_window.selectRow(row);
}

void RemoteFileOperations::renamefile()
{
    SharedState &shared = Shared();
    shared.DvValue = 1;
    {
        const ExitableWait wait(m_window);
        prepareRemotePath(true);
        if (wait.stopped())
            return;
    }
    const int row = m_window.selectedRow();
    FileListModel &model = m_window.model();
    if (row < 0 || row >= model.count())
        return;
    const QString oldName = model.row(row).name;

    const std::optional<QString> answer =
        Ui::instance().inputBox(QStringLiteral("'%1'\r\nNew Filename:").arg(oldName),
                                QStringLiteral("Rename File"), oldName);
    // The name as it was renames nothing.
    if (!answer || answer->isEmpty() || *answer == oldName)
        return;
    const QString newName = *answer;
    if (IsFolderReference(newName) || !IsValidName(newName, RenameCharacters)) {
        Platform::messageBox(
            QStringLiteral("Bad Data.\r\nPlease check your data for valid characters."),
            Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Input Text Validation"));
        return;
    }
    if (!ExtensionAllowed(ExtensionOf(newName))) {
        Platform::messageBox(QStringLiteral("File extension change is denied.\r\n") +
                                 allowedExtensionsText(),
                             Ui::Buttons::OK, Ui::Icon::Critical);
        reselectAfterRefresh(row);
        return;
    }

    if (const std::optional<QString> other = otherListedName(model, row, newName)) {
        Platform::messageBox(NameTaken::onServer(*other), Ui::Buttons::OK, Ui::Icon::Critical,
                             QStringLiteral("Rename File"));
        return;
    }

    const ServerRename renamed = renameOnServer(oldName, newName);
    // The wait's busy state showed the hourglass, and took it back.
    hourglass(renamed == ServerRename::Done);
    switch (renamed) {
    case ServerRename::Done:
        break;
    case ServerRename::Stopped:
        return;
    case ServerRename::Unknown:
        // The server may have renamed the file: the catalogue would name the old one.
        TellRefreshFailed();
        return;
    case ServerRename::Taken:
        Platform::messageBox(NameTaken::onServer(newName), Ui::Buttons::OK, Ui::Icon::Critical,
                             QStringLiteral("Rename File"));
        return;
    case ServerRename::Failed:
        Platform::messageBox(
            QStringLiteral("Error in renaming file.\r\nPlease try again with a different name."),
            Ui::Buttons::OK, Ui::Icon::Critical);
        reselectAfterRefresh(row);
        return;
    }
    model.rename(row, newName);
    const bool goesOn = updateArchive(false);
    hourglass(false);
    if (goesOn)
        renameLocalCopy(oldName, newName);
}

RemoteFileOperations::ServerRename RemoteFileOperations::renameOnServer(const QString &oldName,
                                                                        const QString &newName)
{
    SharedState &shared = Shared();
    const ExitableWait wait(m_window);
    const bool inFolder = enterFolder(shared.RemoteDir) && !wait.stopped() && EnterMonthFolder();
    shared.RemoteDir = ConnectionPaths::underHomeDir(shared.HomeDir, shared.RemoteDir);
    shared.WebRoot = ConnectionPaths::underHomeDir(shared.HomeDir, shared.WebRoot);
    const QString folder = MonthFolderOnServer();
    // A rename never replaces a file: most servers would, and the list would show the name
    // twice.
    const std::optional<bool> taken = inFolder ? client().FTPFileExists(newName) : std::nullopt;
    if (wait.stopped())
        return ServerRename::Stopped;
    if (taken == true)
        return ServerRename::Taken;
    if (!taken.has_value())
        return ServerRename::Failed;
    const std::optional<bool> renamed =
        RenameServerFile(folder, oldName, newName, [&wait] { return wait.stopped(); });
    if (!renamed)
        return ServerRename::Unknown;
    return *renamed ? ServerRename::Done : ServerRename::Failed;
}

void RemoteFileOperations::renameLocalCopy(const QString &oldName, const QString &newName)
{
    const Platform::FileSystemObject fso;
    const std::optional<Platform::FsoFile> local = fso.GetFile(m_localFolder + oldName);
    const bool readOnly = local && (local->Attributes() & Platform::FsoFile::ReadOnly);
    if (!local || readOnly || oldName.compare(newName, Qt::CaseInsensitive) == 0) {
        Platform::messageBox(
            QStringLiteral("File: %1 has been renamed\r\non the website.").arg(oldName),
            Ui::Buttons::OK, Ui::Icon::Information, QStringLiteral("Rename on Website"));
        return;
    }
    if (Platform::messageBox(QStringLiteral("The file on the website has been renamed "
                                            "successfully.\r\nDo you want to also rename this "
                                            "file\r\non your local computer system?"),
                             Ui::Buttons::YesNo, Ui::Icon::Question,
                             QStringLiteral("Rename Local File")) != Ui::Answer::Yes) {
        hourglass(false);
        return;
    }
    hourglass(true);
    const QString why = fso.MoveFile(m_localFolder + oldName, m_localFolder + newName);
    hourglass(false);
    if (!why.isEmpty()) {
        // The shell's rename told the user why it could not; so do we.
        Platform::messageBox(
            QStringLiteral("File: %1 could not be renamed\r\non the local computer: %2")
                .arg(oldName, why),
            Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Rename on Local"));
        return;
    }
    Platform::messageBox(
        QStringLiteral("File: %1 has been renamed\r\non the local computer.").arg(oldName),
        Ui::Buttons::OK, Ui::Icon::Information, QStringLiteral("Rename on Local"));
}

std::unique_ptr<ViewCopy> RemoteFileOperations::fetchForViewing()
{
    const int row = m_window.selectedRow();
    if (row < 0 || row >= m_window.model().count())
        return nullptr;
    const QString name = m_window.model().row(row).name;
    auto copy = std::make_unique<ViewCopy>(name);
    if (!copy->isValid()) {
        Platform::messageBox(QStringLiteral("File: %1 could not be fetched for viewing: %2")
                                 .arg(name, copy->errorString()),
                             Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("View File"));
        return nullptr;
    }
    const QString temporary = copy->dosPath();
    const QString folder = ConnectionPaths::underHomeDir(Shared().HomeDir, listedFolder());
    RunScope::clearCancel();
    for (int attempt = 0; attempt < ViewAttempts; ++attempt) {
        DeleteLocalFile(temporary);
        if (enterFolder(folder) && client().FTPDownloadFile(temporary, name))
            break;
        // Exit, pressed while the file came, gives the viewing up: no further try, no viewer.
        if (RunScope::cancelRequested())
            return nullptr;
    }
    return copy;
}
