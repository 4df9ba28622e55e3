#pragma once

#include "operations/FileListOperations.h"

struct FileRow;

#include <QString>

#include <memory>

class ViewCopy;

// The operations of the remote file list on the folder it lists, through the session's FTP
// client: copy the checked files down into the local folder, delete the checked files, rename
// the selected file (and, when asked, its local copy), and fetch the selected file for the
// viewer. They ask and report through the Ui seam and show their progress in the window.
class RemoteFileOperations : public FileListOperations
{
public:
    // localFolder: the DOS folder the list is compared with, ending in "\".
    RemoteFileOperations(ListWindowPort &window, const QString &localFolder);

    void copyDown();
    void deleteChecked();
    void renamefile();
    // Downloads the selected file to a copy of its own name in a private folder, for the
    // viewer, which shows the browser's error page when no attempt worked; the folder goes
    // with the copy. None when no row is selected, or when no folder could be made (the user
    // was told).
    std::unique_ptr<ViewCopy> fetchForViewing();

    // "Please choose one of:" and the allowed extensions, eight to a line; withoutLast leaves
    // out the list's last entry, the empty one after the filter's final ";".
    static QString allowedExtensionsText(bool withoutLast = false);

private:
    // Puts the login folder in front of the remote folder (and the web root), then enters it.
    void prepareRemotePath(bool withWebRoot);
    enum class Download {
        Done,
        Kept,    // the user kept a local copy newer than the server's
        Refused, // something other than a file stands at the local path; the user was told
        Failed,  // every attempt failed, or a cancel ended the attempts
        Stopped, // Exit stopped the window before an attempt; the user was told
    };
    // One checked file, tried up to the budget, unless its local path holds anything but a
    // file or a symbolic link.
    Download downloadChecked(int row, const QString &localPath);
    // Whether the download may replace the local file: a local copy newer than the server's
    // is the teacher's own edit, replaced only when the user says so.
    bool mayReplace(const FileRow &row, const QString &linuxPath);
    // Ends an operation that Exit stopped, with the user told which file it stopped at.
    void endCancelled(const QString &message, const QString &title = {});
    Attempt deleteOne(const QString &name);
    enum class ServerRename {
        Done,
        Taken, // a file of the new name exists
        Failed,
        Stopped, // Exit ended a wait before the rename was asked for
        Unknown, // Exit ended a wait of the rename itself: the server may have carried it out
    };
    // Renames the file in the month folder, under a wait that Exit may end.
    ServerRename renameOnServer(const QString &oldName, const QString &newName);
    void renameLocalCopy(const QString &oldName, const QString &newName);
    void reselectAfterRefresh(int row);

    QString m_localFolder;
};
