#include "operations/FileListOperations.h"

#include "course/ArchiveCatalogue.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "operations/FileListModel.h"
#include "operations/ListWindow.h"
#include "transport/cFTP.h"

#include <cmath>

FileListOperations::FileListOperations(ListWindow &window)
    : m_window(window)
{}

int FileListOperations::pageCount(int rows)
{
    return static_cast<int>(std::nearbyint(rows / double(RowsPerPage) + 1));
}

void FileListOperations::reconnectIfNeeded(const QString &folder)
{
    cFTP &client = *Shared().FtpClient;
    if (!client.GetFTPDirectory().isEmpty())
        return;
    EnsureConnected();
    client.SetFTPDirectory(folder);
}

void FileListOperations::startPages()
{
    m_pages = pageCount(m_window.model().count());
    m_lastPageEnd = RowsPerPage;
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

void FileListOperations::updateArchive()
{
    if (Shared().FtpClient->secure())
        Shared().TransferRunning = true;
    m_window.setArchiveNoticeShown(true);
    RefreshArchive();
    m_window.setArchiveNoticeShown(false);
}
