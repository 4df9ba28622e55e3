#include "operations/LocalFileOperations.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConnectionPaths.h"
#include "course/FileTypes.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/FileListModel.h"
#include "operations/ListWindowPort.h"
#include "operations/RemoteFileOperations.h"
#include "platform/FileSystemObject.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

using Platform::Ui;

namespace {

void tell(const QString &text, Ui::Icon icon, const QString &title = {})
{
    Platform::messageBox(text, Ui::Buttons::OK, icon, title);
}

} // namespace

LocalFileOperations::LocalFileOperations(ListWindowPort &window, const QString &localFolder)
    : FileListOperations(window)
    , m_localFolder(localFolder)
{}

QString LocalFileOperations::serverFolder()
{
    return ConnectionPaths::underHomeDir(Shared().HomeDir, listedFolder());
}

bool LocalFileOperations::copyUp(bool overCapacity)
{
    SharedState &shared = Shared();
    shared.DvValue = 1;
    if (overCapacity) {
        tell(QStringLiteral("You cannot upload this much data.\r\nYour limit is %1 meg.")
                 .arg(shared.CapacityLimit),
             Ui::Icon::Critical);
        return false;
    }
    // Each file's step enters the folder again when this fails.
    enterFolder(serverFolder());
    // The catalogue is rebuilt when any file went up, also when a later one could not.
    bool anyUploaded = false;
    const CheckedRows rows =
        copyChecked(TransferViewPort::Direction::Up, [&](int row, const QString &name) {
            const Attempt outcome = uploadChecked(row);
            if (outcome == Attempt::Stopped)
                return RowEnd::Stop;
            if (outcome == Attempt::Done) {
                anyUploaded = true;
                return RowEnd::Next;
            }
            hourglass(false);
            if (!m_window.goesOn()) {
                endTransfers();
                tell(QStringLiteral("File '%1', upload was cancelled by the user.").arg(name),
                     Ui::Icon::Exclamation, QStringLiteral("Upload File"));
                hourglass(true);
                if (shared.DvValue > 0)
                    RefreshArchiveAndReport();
                hourglass(false);
                return RowEnd::Stop;
            }
            reportFailedCopy(QStringLiteral("File '%1', cannot copy to the server at this time!\r\n"
                                            "Please try again later.")
                                 .arg(name));
            return RowEnd::Next;
        });
    if (rows.stopped || !rows.anyChecked)
        return anyUploaded;
    if ((anyUploaded || RunScope::cancelRequested()) && shared.DvValue > 0) {
        hourglass(true);
        const bool goesOn = updateArchive(true);
        hourglass(false);
        // Exit during the catalogue's rebuild closed the window: nothing more is told.
        if (!goesOn)
            return anyUploaded;
    }
    tell(QStringLiteral("Copy Operation is Complete!"), Ui::Icon::Information);
    return anyUploaded;
}

FileListOperations::Attempt LocalFileOperations::uploadChecked(int row)
{
    const QString name = m_window.model().row(row).name;
    const QString localPath = m_localFolder + name;
    if (!Platform::FileSystemObject().GetFileNamedExactly(m_localFolder + name))
        return Attempt::Failed;
    const Attempt outcome = attemptFile([&] {
        showUnderWay(row, localPath);
        return enterFolder(serverFolder()) &&
               transferShown(name, [&](cFTP &ftp) { return ftp.FTPUploadFile(localPath, name); });
    });
    if (outcome == Attempt::Done) {
        markCopied(row, FileListModel::UploadedImage);
    } else if (outcome == Attempt::Stopped) {
        endTransfers();
        tell(QStringLiteral("File '%1', copy was cancelled by user!").arg(name),
             Ui::Icon::Exclamation);
    }
    return outcome;
}

void LocalFileOperations::deleteChecked()
{
    hourglass(false);
    if (!confirmDelete())
        return;
    m_window.showBusy(true);
    bool deleted = false;
    const auto deleteRow = [&](int, const QString &name) {
        const std::optional<Platform::FsoFile> file =
            Platform::FileSystemObject().GetFileNamedExactly(m_localFolder + name);
        if (file && file->Delete()) {
            deleted = true;
            return RowEnd::Next;
        }
        // The others still go: the user learns which file stayed.
        hourglass(false);
        tell(QStringLiteral("File '%1', could not be deleted.  Please try again later.").arg(name),
             Ui::Icon::Critical);
        hourglass(true);
        return RowEnd::Next;
    };
    // Exit is looked for before every row, checked or not.
    const auto goesOn = [this](int, const QString &name) {
        if (m_window.goesOn())
            return RowEnd::Next;
        RunScope::setBusy(false);
        RunScope::clearCancel();
        hourglass(false);
        tell(QStringLiteral("File '%1', delete was cancelled by user!").arg(name),
             Ui::Icon::Exclamation);
        m_window.refreshList();
        return RowEnd::Stop;
    };
    if (forEachChecked(deleteRow, goesOn).stopped)
        return;
    m_window.showBusy(false);
    if (!deleted)
        return;
    hourglass(true);
    m_window.refreshList();
    hourglass(false);
    tell(QStringLiteral("Delete Operation is Complete!"), Ui::Icon::Information);
}

void LocalFileOperations::renamefile()
{
    const int row = m_window.selectedRow();
    FileListModel &model = m_window.model();
    if (row < 0 || row >= model.count())
        return;
    const LocalRename rename(
        m_localFolder, renameTexts(), [this](bool shown) { m_window.setArchiveNoticeShown(shown); },
        &m_window);
    const QString oldName = model.row(row).name;
    QString newName;
    switch (rename.renameLocally(oldName, newName)) {
    case LocalRename::Outcome::Renamed:
        model.rename(row, newName);
        rename.offerServerRename(oldName, newName);
        break;
    case LocalRename::Outcome::ExtensionDenied:
        m_window.refreshList();
        m_window.selectRow(row);
        break;
    case LocalRename::Outcome::Refused:
        break;
    }
}

LocalRename::Texts LocalFileOperations::renameTexts()
{
    return {
        QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789_-~ .@'"),
        QStringLiteral("File extension change is denied.\r\n") +
            RemoteFileOperations::allowedExtensionsText(),
        {},
        QStringLiteral("File: %1\r\nhas been successfully renamed."),
        QStringLiteral("Rename file"),
        QStringLiteral("The selected file on your local hard drive was renamed successfully.\r\n"
                       "Do you want to rename this file on the website?"),
        QStringLiteral("File: %1\r\nhas been successfully renamed on the website."),
        QStringLiteral("Rename on website"),
    };
}
