#pragma once

#include <QString>

// The module routines that put the shared FTP client where the commands and windows need it.
// They work on the server paths of the shared state.

// Makes the course's month folder current on the server, and sets WebRoot and the remote root
// on the way. True only when the server then reports exactly the month folder's path.
bool EnterMonthFolder();

// The month folder's path as the server names it: under the login folder.
QString MonthFolderOnServer();

// Runs the installed reconnect routine (SharedState::Reconnect: the connection status window
// in the control), which opens a session with the login data of the shared state, when the
// FTP client stands in no folder (no open session). The caller looks at the client afterwards.
void EnsureConnected();

// The total size in bytes of all files under a server folder, at any depth; at most the
// largest 32-bit number. -1 when a folder cannot be entered: the user is told, and the login
// data, taken to be wrong, is reset. 0 when no connection can be opened.
double RemoteFolderSize(const QString &path);
