#pragma once

#include <QString>

#include <functional>
#include <optional>

// The module routines that put the shared FTP client where the commands and windows need it.
// They work on the server paths of the shared state.

// Makes the course's month folder current on the server, and sets WebRoot and the remote root
// on the way. True only when the server then reports exactly the month folder's path.
bool EnterMonthFolder();

// EnterMonthFolder, making the month folder where it is missing: the first upload of a new
// month finds none yet. Only that one folder is made; a missing course or archive folder means
// the login data leads elsewhere, and the caller says so.
bool EnterOrMakeMonthFolder();

// The month folder's path as the server names it: under the login folder.
QString MonthFolderOnServer();

// Runs the installed reconnect routine (SharedState::Reconnect: the connection status window
// in the control), which opens a session with the login data of the shared state, when the
// FTP client stands in no folder (no open session). True when a session is open afterwards.
// A session that dropped under a running command comes back with the command's server paths
// (web root, remote, archive and month folder) as they were: the reconnect would otherwise
// place the web root as a first connect does, before the host product's folder.
bool EnsureConnected();

// What a command finds when it opens its session in the month folder.
enum class MonthFolderStart {
    Entered,
    NoConnection, // the server could not be reached, did not answer, or failed its TLS check
    LoginRefused, // the server refused the user name or password
    WrongFolder,  // a live session cannot enter the folder: the login leads elsewhere
};

// Opens the session when none is open and makes the month folder current through enter
// (EnterMonthFolder, or a command's own step that also makes the folder), once more when the
// session dropped on the way. Only a refused login or a wrong folder means the login data is
// wrong; a network fault must never cost the user the stored login. Once stopped, when given,
// says the user ended a wait, no session is opened again (NoConnection).
MonthFolderStart StartInMonthFolder(const std::function<bool()> &enter = EnterMonthFolder,
                                    const std::function<bool()> &stopped = {});

// The size of a file of the month folder as GetFTPFileSize tells it, the folder entered first
// as StartInMonthFolder enters it; asked once more in a new session when the session dropped
// on the way, as a lookup it cut short says nothing of the file. Nothing when the folder
// cannot be entered, nor once stopped, when given, says the user ended a wait.
std::optional<qint32> MonthFolderFileSize(const QString &name,
                                          const std::function<bool()> &stopped = {});

// Makes an absolute server folder current, opening the session again first when it dropped.
// True only when the client then stands in that folder: a caller that goes on with names
// relative to it never writes or deletes anywhere else.
bool EnterServerFolder(const QString &folder);

// After a command on a file of an absolute server folder failed: whether the server carried it
// out all the same, as when the session dropped with its answer, or when a retry finds the
// work of the attempt before. The folder is entered again and the names looked up; false when
// the server cannot tell.
bool ServerFileGone(const QString &folder, const QString &name);
bool ServerFileRenamed(const QString &folder, const QString &oldName, const QString &newName);
// Renames a file of the folder the session stands in, and when the answer does not say it was
// done, looks whether it was (ServerFileRenamed). Nothing when stopped says the user ended a
// wait while the server had the rename: the server may have carried it out.
std::optional<bool> RenameServerFile(const QString &folder, const QString &oldName,
                                     const QString &newName, const std::function<bool()> &stopped);

// Deletes a file of the absolute server folder the session stands in. After a failure the
// file is looked up: gone counts as deleted, and a file still there after a lost session is
// deleted once more.
bool DeleteServerFile(const QString &folder, const QString &name);

// The total size in bytes of all files under a server folder, at any depth; at most the
// largest 32-bit number. -1 when a folder cannot be entered: the user is told, and the login
// data, taken to be wrong, is reset. 0 when no connection can be opened. Nothing once stopped,
// when given, says the user ended a wait for the server: the walk ends there, quietly, and no
// session is opened again after it.
std::optional<double> RemoteFolderSize(const QString &path,
                                       const std::function<bool()> &stopped = {});
