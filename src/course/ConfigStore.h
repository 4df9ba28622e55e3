#pragma once

#include "course/LoginStore.h"
#include "transport/TlsMode.h"

#include <QByteArray>
#include <QString>

// The module routines of the configuration file "Dovrelle.ini", which the control shares with
// the host product. Each run of a routine reads the file anew (see ConfigFile), because the
// host product may change it between two runs. A missing file, section or key reads as empty.

// A server path with each "//" replaced by "/", twice over, the way every server path join is
// cleaned.
QString CollapseSlashes(QString path);

// The course's local folder from its "lldir" value, always ending in "\".
QString LocalFolderFromSetting(const QString &lldir);

// The TLS mode of a course's "tls" value: auto when empty; a value that names no mode is
// taken as require, so that a misspelt setting never weakens the connection.
Ftp::TlsMode TlsModeFromSetting(const QString &tls);

// Writes a course's "tls" value; false when the file cannot be written.
bool WriteTlsMode(const QString &section, Ftp::TlsMode mode);

// The server paths that follow from the remote directory and the home directory: the course,
// archive and month parts, the month folder path and its archive folder, and the web root.
// Every command takes them anew from the remote directory it runs on, so that a host that
// points the control at another month finds that month's paths with the session still open.
void DeriveServerPaths();

// Reads the login data (deciphered) and the course settings of a course section into the
// shared state and derives the server paths from the remote directory and the home directory.
// The reads cannot fail (missing values read as empty), so the result is always true.
bool ReadCourseConfig(const QString &section);

// Finds the archive among the course's numbered archive entries and reads whether it uses
// twelve named folders, and their names, into the shared state. An archive that is not listed
// is left in month mode. Always true.
bool ReadFolderMap(const QString &section, const QString &archive);

// Stores the login data of a course section enciphered: "ftpSite", "ftpUsid", "ftpPwd" and
// "secure" ("0" or "1"), in that order and in one change of the file. storedSite is the site
// as it is stored (host, and the path of the web root when there is one). Refused, with
// nothing written, when one of the values could not be read back unchanged (see
// LoginStore::problemWith); not stored either when the file cannot be written.
LoginStore::Outcome WriteLoginData(const QString &section, const QString &storedSite,
                                   const QString &userId, const QString &password, bool secure);
