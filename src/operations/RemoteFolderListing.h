#pragma once

#include "operations/ExitableWait.h"
#include "operations/FileListModel.h"

#include <QList>
#include <QString>

#include <functional>

class ListWindowPort;

// Reads the server folder the remote list shows, through the session's FTP client: the session
// brought back when it dropped, the folder entered and checked to be the month folder, and the
// files the upload filter allows as rows. Names that could step out of a local folder ("/",
// "\", "." and "..") are never listed. A listing that fails (a folder of more entries than a
// listing may hold among the reasons) gives no rows, and the user is told why.
class RemoteFolderListing
{
public:
    enum class Outcome {
        Listed,
        NoConnection, // no session could be opened; the connection-failed flag is set
        WrongFolder,  // the session landed elsewhere; the login data was reset (unless kept)
        Stopped,      // Exit ended a wait for the server: the window closed, nothing was told
    };

    struct Result
    {
        Outcome outcome = Outcome::NoConnection;
        QList<FileRow> rows;
        int preselected = -1; // the row of the name to preselect, or -1
    };

    static Result read(const QString &nameToPreselect);
    // As read, in a window whose Exit ends the waits for the server (ExitableWait): one that
    // shows, or one that has yet to open and shows if the listing keeps the user waiting.
    static Result readInWindow(const QString &nameToPreselect, ListWindowPort &window,
                               ExitableWait::Window shown = ExitableWait::Window::Shown);

private:
    static Result read(const QString &nameToPreselect, const std::function<bool()> &stopped);
};
