#pragma once

#include "operations/TransferFeed.h"

#include <QString>

#include <functional>
#include <optional>

class ListWindowPort;
class cFTP;

// What the operations of both list windows share: the attempt budget per file, the session
// brought back when it dropped, the list scrolled page by page while files go by, and the
// archive catalogue rebuilt under the window's notice.
class FileListOperations
{
public:
    explicit FileListOperations(ListWindowPort &window);

    // How often one file is tried before it is reported and the next one follows.
    static constexpr int AttemptsPerFile = 6;
    // Rows shown on one page of a list.
    static constexpr int RowsPerPage = 12;

    // The number of pages of a list: rows / 12 + 1, rounded half to even.
    static int pageCount(int rows);
    // The server folder the lists work in: the remote root and folder, with a trailing "/".
    static QString listedFolder();

protected:
    // How the work on one row ends: the loop goes on to the next row or stops there.
    enum class RowEnd { Next, Stop };
    using RowStep = std::function<RowEnd(int row, const QString &name)>;
    struct CheckedRows
    {
        bool anyChecked = false;
        bool stopped = false;
    };
    // The loop of every operation on the checked files: each checked row, in the list's order,
    // handed to step. beforeEveryRow, when given, is asked first for every row, checked or
    // not: the place of the deletes' cancel check.
    CheckedRows forEachChecked(const RowStep &step, const RowStep &beforeEveryRow = {});
    // A copy of the checked rows: for its time the busy state, a transfer running and the
    // window's transfer view following the files; each checked row handed to copy. Unless a
    // row stopped it, the window leaves the busy state at its end, its status line empty and
    // the rows' pictures and Check All reset when any row was checked.
    CheckedRows copyChecked(TransferViewPort::Direction direction, const RowStep &copy);
    // A file of a copy that failed every attempt: the message, with the busy picture hidden
    // while it stands.
    void reportFailedCopy(const QString &text);
    enum class Attempt { Done, Failed, Stopped };
    // One file tried up to the budget, until a cancel request: before each try the window
    // must still go on (Exit stops it: Stopped); tryOnce returns whether the try worked.
    Attempt attemptFile(const std::function<bool()> &tryOnce);

    // The session's FTP client.
    static cFTP &client();
    static void hourglass(bool on);
    // Makes the absolute server folder current, opening the session again when it dropped.
    // False when the client cannot stand in it: nothing may then be done there by name.
    bool enterFolder(const QString &folder);

    // A file of the copy under way: the status line, its row marked, selected and in view,
    // and the transfer type for its name when the mode is Auto.
    void showUnderWay(int row, const QString &status);
    // Copies one file with the client's call, shown in the window's transfer view.
    bool transferShown(const QString &name, const std::function<bool(cFTP &)> &transfer);
    // The copy moves no more files: the transfer view goes, before any box says why.
    void endTransfers() { m_feed.reset(); }
    // A file that went across: its row marked with the picture, unchecked, and counted out.
    void markCopied(int row, int imageNumber);
    // Asks before the checked files are deleted; No is the default.
    static bool confirmDelete();
    // Rebuilds the archive catalogue while the window shows its notice. A catalogue that did
    // not reach the server is reported at once when reportFailure is set; else the window
    // tries its upload again when it closes. Exit ends its waits for the server; the user then
    // hears that the archive needs a refresh, and false says the operation must end.
    bool updateArchive(bool reportFailure);

    ListWindowPort &m_window;

private:
    // The start of a copy: the busy state, the transfer mode, no row selected, the first page,
    // and the window's transfer view following the files that go that way.
    void startCopy(TransferViewPort::Direction direction);
    // Keeps the row being worked on in view, a page at a time.
    void scrollPageFor(int row);

    std::optional<TransferFeed> m_feed;
    int m_pages = 0;
    int m_lastPageEnd = RowsPerPage;
    // The folder the client was last put in by enterFolder, and in which session; empty once
    // anything else may have moved it.
    QString m_enteredFolder;
    quint64 m_enteredConnection = 0;
};
