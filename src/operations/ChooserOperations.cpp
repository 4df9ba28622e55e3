#include "operations/ChooserOperations.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/FileTypes.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/ChooserWindowPort.h"
#include "operations/RemoteFileOperations.h"
#include "operations/TransferFeed.h"
#include "operations/TransferRetry.h"
#include "platform/FileSystemObject.h"
#include "platform/NumberText.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <QScopeGuard>

#include <cmath>

using Platform::Ui;

namespace {

void tell(const QString &text, Ui::Icon icon, const QString &title = {})
{
    Platform::messageBox(text, Ui::Buttons::OK, icon, title);
}

bool ask(const QString &text, const QString &title)
{
    return Platform::messageBox(text, Ui::Buttons::YesNo, Ui::Icon::Question, title) ==
           Ui::Answer::Yes;
}

void hourglass(bool on)
{
    Platform::setMousePointer(on ? Ui::Pointer::Hourglass : Ui::Pointer::Default);
}

cFTP &client()
{
    return *Shared().FtpClient;
}

} // namespace

ChooserOperations::ChooserOperations(ChooserWindowPort &window)
    : m_window(window)
{}

bool ChooserOperations::withinCapacity(double usedBytes, qint64 fileBytes, double &attemptedMB)
{
    attemptedMB = (usedBytes + double(fileBytes)) / 1e6;
    return attemptedMB <= Shared().CapacityLimit;
}

void ChooserOperations::upload()
{
    SharedState &shared = Shared();
    shared.DvValue = 1;
    m_window.setControlsEnabled(false);
    const auto controlsBack = qScopeGuard([this] {
        m_window.setUploadRunning(false);
        m_window.setControlsEnabled(true);
    });
    const QString name = m_window.selectedName();
    if (name.isEmpty()) {
        tell(QStringLiteral("Cannot upload file.\r\nNo file was selected."), Ui::Icon::Critical,
             QStringLiteral("Error in File Upload"));
        return;
    }
    // One session serves every window: a second transfer would run inside the first.
    if (RunScope::running()) {
        tell(QStringLiteral("Another transfer is running.\r\nPlease upload the file when it has "
                            "ended."),
             Ui::Icon::Exclamation, QStringLiteral("Upload File"));
        return;
    }
    m_window.setUploadRunning(true);
    const std::optional<double> used = monthFolderBytes();
    if (!used) {
        // Cancel ended a wait for the server, and told the user so.
        RunScope::clearCancel();
        hourglass(false);
        return;
    }
    if (*used < 0) {
        hourglass(false);
        m_window.unload();
        return;
    }
    double attempted = 0;
    if (!withinCapacity(*used, m_window.selectedSize(), attempted)) {
        hourglass(false);
        const QString limit = QString::number(shared.CapacityLimit);
        tell(QStringLiteral("You have reached your assigned capacity of %1 MB of disk space.\r\n"
                            "You should delete some files on the website or upload a smaller "
                            "file.\r\nAssigned Capacity: %1 MB\r\nAttempted Capacity: %2 MB")
                 .arg(limit, Platform::NumberText::grouped(qint64(std::llround(attempted)))),
             Ui::Icon::Information, QStringLiteral("Capacity Exceeded"));
        return;
    }
    const RunScope upload(RunScope::Busy | RunScope::Transfer);
    client().SetTransferBinary();
    if (!uploadFileAndRefresh(m_window.folder() + name))
        tell(QStringLiteral("Upload of file '%1' failed.").arg(name), Ui::Icon::Critical,
             QStringLiteral("Upload File Status"));
    hourglass(false);
}

std::optional<double> ChooserOperations::monthFolderBytes()
{
    // Busy, and the plain channel's waits let the messages run, so that Cancel and the close
    // box reach the upload while the server keeps it waiting: a Cancel there ends the wait at
    // once and closes the session, and no other is opened after it.
    const RunScope waiting(RunScope::Busy);
    const cFTP::InterruptibleCommands interruptible(client());
    if (client().GetFTPDirectory().isEmpty() && EnsureConnected())
        EnterOrMakeMonthFolder();
    hourglass(true);
    return RemoteFolderSize(MonthFolderOnServer(), &RunScope::cancelRequested);
}

bool ChooserOperations::uploadFileAndRefresh(const QString &localPath)
{
    SharedState &shared = Shared();
    hourglass(false);
    if (!Platform::FileSystemObject().FileExists(localPath))
        return false;
    EnsureConnected();
    const QString fileName = localPath.mid(localPath.lastIndexOf(QLatin1Char('\\')) + 1);
    // Named anew for every try: a session opened again may have another login folder.
    const auto remotePath = [&] {
        QString folder = shared.RemoteDir;
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        return ConnectionPaths::underHomeDir(shared.HomeDir,
                                             CollapseSlashes(QLatin1Char('/') + folder + fileName));
    };
    if (!ExtensionAllowed(ExtensionOf(fileName))) {
        tell(QStringLiteral("Invalid Filename to upload.\r\n\r\n") +
                 RemoteFileOperations::allowedExtensionsText(true),
             Ui::Icon::Critical, QStringLiteral("Upload File"));
        return false;
    }
    hourglass(true);
    const bool uploaded = [&] {
        TransferFeed feed(client(), m_window.transferView(), TransferViewPort::Direction::Up);
        return TransferRetry::run(client(), [&] {
            feed.fileStarted(fileName);
            return client().FTPUploadFile(localPath, remotePath());
        });
    }();
    if ((uploaded || RunScope::cancelRequested()) && shared.DvValue > 0) {
        if (uploaded)
            rebuildCatalogue();
        else
            RefreshArchiveAndReport();
    }
    hourglass(false);
    RunScope::clearCancel();
    if (uploaded && shared.LoadFuncObject)
        tell(QStringLiteral("File: %1\r\nwas successfully uploaded\r\nto the website.")
                 .arg(localPath),
             Ui::Icon::Information, QStringLiteral("Upload File"));
    return uploaded;
}

void ChooserOperations::rebuildCatalogue()
{
    m_window.setArchiveNoticeShown(true);
    RefreshArchiveAndReport();
    m_window.setArchiveNoticeShown(false);
    m_window.setUploadRunning(false);
}

LocalRename ChooserOperations::renamer() const
{
    LocalRename::Texts texts{
        QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789_-~ .@'&!`$^()=+;,[]"),
        RemoteFileOperations::allowedExtensionsText() +
            QStringLiteral("\r\nFile extension change is denied."),
        QStringLiteral("Rename"),
        QStringLiteral("Filename on local computer\r\nhas been renamed."),
        QStringLiteral("Rename File"),
        QStringLiteral("The selected file on your local hard drive was renamed successfully.\r\n"
                       "Do you want to rename this file on the website as well?"),
        QStringLiteral("Filename on webserver\r\nhas been renamed."),
        QStringLiteral("Rename File"),
    };
    return LocalRename(m_window.folder(), std::move(texts), [this](bool shown) {
        m_window.setArchiveNoticeShown(shown);
        if (!shown)
            m_window.setUploadRunning(false);
    });
}

void ChooserOperations::rename()
{
    const QString oldName = m_window.selectedName();
    if (oldName.isEmpty()) {
        tell(QStringLiteral("Cannot rename file.\r\nNo File was selected."), Ui::Icon::Critical,
             QStringLiteral("Error in Local File Rename"));
        return;
    }
    Shared().DvValue = 1;
    m_window.setControlsEnabled(false);
    const auto controlsBack = qScopeGuard([this] { m_window.setControlsEnabled(true); });
    const LocalRename rename = renamer();
    QString newName;
    if (rename.renameLocally(oldName, newName) != LocalRename::Outcome::Renamed)
        return;
    m_window.refill(newName);
    rename.offerServerRename(oldName, newName);
}

void ChooserOperations::remove()
{
    const QString name = m_window.selectedName();
    if (name.isEmpty()) {
        tell(QStringLiteral("Cannot delete file.\r\nNo File was selected."), Ui::Icon::Critical,
             QStringLiteral("Error in Local File Deletion"));
        return;
    }
    m_window.setControlsEnabled(false);
    const auto controlsBack = qScopeGuard([this] { m_window.setControlsEnabled(true); });
    const QString path = m_window.folder() + name;
    if (const std::optional<Platform::FsoFile> file =
            Platform::FileSystemObject().GetFileNamedExactly(path)) {
        if (!ask(QStringLiteral("Are you sure you want to delete file,\r\n\"%1\"\r\nfrom your "
                                "computer?")
                     .arg(name),
                 QStringLiteral("Delete File")))
            return;
        if (!file->Delete()) {
            tell(QStringLiteral("File '%1', could not be deleted.  Please try again later.")
                     .arg(name),
                 Ui::Icon::Critical);
            return;
        }
    }
    m_window.refill(QString());

    // A session the server closed while the chooser stood idle is opened again quietly.
    const std::optional<qint32> size = MonthFolderFileSize(name);
    if (!size) {
        tell(QStringLiteral("Bad Directory parameter for webserver."), Ui::Icon::Critical,
             QStringLiteral("Parameter Error"));
        return;
    }
    if (*size <= 0)
        return;
    if (!ask(QStringLiteral("File: %1\r\nwas successfully deleted from your local computer.\r\n"
                            "Do you want to delete this file from the website as well?")
                 .arg(name),
             QStringLiteral("Delete File from WebServer")))
        return;
    if (!DeleteServerFile(MonthFolderOnServer(), name))
        return;
    if (Shared().DvValue > 0)
        rebuildCatalogue();
    m_window.setUploadRunning(false);
    tell(QStringLiteral("File: %1\r\nwas successfully deleted from the website.").arg(name),
         Ui::Icon::Information, QStringLiteral("Delete File from Website"));
}

void ChooserOperations::cancel()
{
    if (!RunScope::busy())
        return;
    RunScope::setBusy(false);
    RunScope::requestCancel();
    client().stopTransfer();
    hourglass(false);
    tell(QStringLiteral("File Upload was cancelled by the user."), Ui::Icon::Exclamation,
         QStringLiteral("Cancel File Upload"));
}
