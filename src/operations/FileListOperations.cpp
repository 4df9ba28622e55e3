#include "operations/FileListOperations.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/FileTypes.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/ExitableWait.h"
#include "operations/FileListModel.h"
#include "operations/ListWindowPort.h"
#include "platform/Ui.h"
#include "transport/cFTP.h"

#include <cmath>

FileListOperations::FileListOperations(ListWindowPort &window)
    : m_window(window)
{}

cFTP &FileListOperations::client()
{
    return *Shared().FtpClient;
}

void FileListOperations::hourglass(bool on)
{
    Platform::setMousePointer(on ? Platform::Ui::Pointer::Hourglass
                                 : Platform::Ui::Pointer::Default);
}

int FileListOperations::pageCount(int rows)
{
    return static_cast<int>(std::nearbyint(rows / double(RowsPerPage) + 1));
}

QString FileListOperations::listedFolder()
{
    const SharedState &shared = Shared();
    QString path = shared.RemoteRoot.isEmpty() ? shared.RemoteDir
                                               : shared.RemoteRoot + u'/' + shared.RemoteDir;
    path = path.trimmed();
    if (!path.endsWith(u'/'))
        path += u'/';
    return CollapseSlashes(path);
}

bool FileListOperations::enterFolder(const QString &folder)
{
    // The session it was put in stands there still, unless it dropped.
    if (folder == m_enteredFolder && client().connectionNumber() == m_enteredConnection &&
        !client().GetFTPDirectory().isEmpty())
        return true;
    m_enteredFolder = EnterServerFolder(folder) ? folder : QString();
    m_enteredConnection = client().connectionNumber();
    return !m_enteredFolder.isEmpty();
}

FileListOperations::CheckedRows FileListOperations::forEachChecked(const RowStep &step,
                                                                   const RowStep &beforeEveryRow)
{
    const FileListModel &model = m_window.model();
    CheckedRows rows;
    for (int row = 0; row < model.count(); ++row) {
        const QString name = model.row(row).name;
        if (beforeEveryRow && beforeEveryRow(row, name) == RowEnd::Stop) {
            rows.stopped = true;
            break;
        }
        if (!model.row(row).checked)
            continue;
        rows.anyChecked = true;
        if (step(row, name) == RowEnd::Stop) {
            rows.stopped = true;
            break;
        }
    }
    return rows;
}

FileListOperations::CheckedRows
FileListOperations::copyChecked(TransferViewPort::Direction direction, const RowStep &copy)
{
    CheckedRows rows;
    {
        const RunScope transfer(RunScope::Transfer);
        // Exit ends a wait for the server between the transfers too.
        const cFTP::InterruptibleCommands interruptible(*Shared().FtpClient);
        startCopy(direction);
        rows = forEachChecked(copy);
        if (rows.stopped)
            return rows;
        endTransfers();
        m_window.leaveBusy();
    }
    m_window.showStatus(QString());
    if (rows.anyChecked) {
        m_window.model().resetImageNumbers();
        m_window.resetCheckAll();
    }
    return rows;
}

void FileListOperations::reportFailedCopy(const QString &text)
{
    m_window.setBusyIndicatorShown(false);
    Platform::messageBox(text, Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical);
    // Exit may have come while the box stood.
    if (m_window.goesOn()) {
        hourglass(true);
        m_window.setBusyIndicatorShown(true);
    }
}

FileListOperations::Attempt FileListOperations::attemptFile(const std::function<bool()> &tryOnce)
{
    for (int attempt = 0; attempt < AttemptsPerFile && !RunScope::cancelRequested(); ++attempt) {
        if (!m_window.goesOn())
            return Attempt::Stopped;
        if (tryOnce())
            return Attempt::Done;
        // The user who cancelled the connect a try needed gave the file up: every further try
        // would ask again.
        if (client().connectStopped())
            return Attempt::Stopped;
    }
    return Attempt::Failed;
}

void FileListOperations::startCopy(TransferViewPort::Direction direction)
{
    m_window.enterBusy();
    cFTP &client = *Shared().FtpClient;
    m_feed.emplace(client, m_window.transferView(), direction);
    const ListWindowPort::TransferMode mode = m_window.transferMode();
    if (mode == ListWindowPort::TransferMode::Binary)
        client.SetTransferBinary();
    else if (mode == ListWindowPort::TransferMode::Ascii)
        client.SetTransferASCII();
    m_window.selectRow(-1);
    m_pages = pageCount(m_window.model().count());
    m_lastPageEnd = RowsPerPage;
    if (m_window.model().count() > 0)
        m_window.scrollToRow(0);
}

void FileListOperations::showUnderWay(int row, const QString &status)
{
    m_window.showStatus(status);
    m_window.model().setImageNumber(row, FileListModel::TransferringImage);
    m_window.selectRow(row);
    scrollPageFor(row);
    if (m_window.transferMode() == ListWindowPort::TransferMode::Auto)
        SetTransferTypeFor(m_window.model().row(row).name);
}

bool FileListOperations::transferShown(const QString &name,
                                       const std::function<bool(cFTP &)> &transfer)
{
    if (!m_feed)
        return transfer(client());
    m_feed->fileStarted(name);
    const bool done = transfer(client());
    m_feed->fileEnded();
    return done;
}

void FileListOperations::scrollPageFor(int row)
{
    const int rows = m_window.model().count();
    if (rows <= RowsPerPage)
        return;
    // Rows and page ends are counted from 1 here, as the pages are.
    const int position = row + 1;
    for (int page = 1; page <= m_pages; ++page) {
        const int end = std::min(RowsPerPage * page, rows);
        if (end != m_lastPageEnd && position >= end - (RowsPerPage - 1) && position <= end) {
            m_window.scrollToRow(end - 1);
            m_lastPageEnd = end;
            return;
        }
    }
}

void FileListOperations::markCopied(int row, int imageNumber)
{
    m_window.model().setImageNumber(row, imageNumber);
    m_window.model().setChecked(row, false);
    m_window.selectRow(-1);
    m_window.computeSize();
}

bool FileListOperations::confirmDelete()
{
    return Platform::messageBox(
               QStringLiteral("Are you sure you want to delete the checked files?"),
               Platform::Ui::Buttons::YesNo, Platform::Ui::Icon::Question, {},
               2) == Platform::Ui::Answer::Yes;
}

bool FileListOperations::updateArchive(bool reportFailure)
{
    // A stop does not cut the refresh short on every channel: it then counts as a running
    // transfer.
    if (!Shared().FtpClient->stopClosesSession())
        RunScope::markTransfer();
    m_window.setArchiveNoticeShown(true);
    // The catalogue's walk and upload leave the session in the archive folder.
    m_enteredFolder.clear();
    CatalogueRefresh refresh;
    {
        const ExitableWait wait(m_window);
        const auto stopped = [&wait] { return wait.stopped(); };
        refresh = reportFailure ? RefreshArchiveAndReport(stopped) : RefreshArchive(stopped);
    }
    m_window.setArchiveNoticeShown(false);
    // The catalogue that Exit cut short may name what is no longer there.
    if (refresh != CatalogueRefresh::Stopped)
        return true;
    if (!reportFailure)
        TellRefreshFailed();
    return false;
}
