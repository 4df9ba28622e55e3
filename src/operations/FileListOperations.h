#pragma once

#include <QString>

class ListWindow;

// What the operations of both list windows share: the attempt budget per file, the session
// brought back when it dropped, the list scrolled page by page while files go by, and the
// archive catalogue rebuilt under the window's notice.
class FileListOperations
{
public:
    explicit FileListOperations(ListWindow &window);

    // How often one file is tried before it is reported and the next one follows.
    static constexpr int AttemptsPerFile = 6;
    // Rows shown on one page of a list.
    static constexpr int RowsPerPage = 12;

    // The number of pages of a list: rows / 12 + 1, rounded half to even.
    static int pageCount(int rows);

protected:
    // Opens the session again when it dropped, and goes back to the folder.
    void reconnectIfNeeded(const QString &folder);
    // Keeps the row being worked on in view, a page at a time.
    void scrollPageFor(int row);
    void startPages();
    // Rebuilds the archive catalogue while the window shows its notice.
    void updateArchive();

    ListWindow &m_window;

private:
    int m_pages = 0;
    int m_lastPageEnd = RowsPerPage;
};
