#pragma once

#include "platform/Registry.h"

#include <QString>

// The module routines for local paths that need no server: splitting the control's remote
// directory, checking and creating local folders, temporary names, deleting a local file and
// reading registry values. Local paths are DOS paths ("h:\Documents\lesson 1.pdf").

// The remote directory split from the right into its last three folders and what lies
// before them.
struct RemotePathParts
{
    QString CourseName;
    QString ArchiveName;
    QString MonthFolder;
    QString WebRootPath;
};

RemotePathParts SplitRemotePath(const QString &path);

// SplitRemotePath of the shared remote directory, its parts kept in the shared state
// (CourseName, ArchiveName, MonthFolder and WebRootPath).
RemotePathParts SplitSharedRemoteDir();

// True when the file or folder exists, or a missing folder (a path ending in "\") was created
// after the user agreed; a missing file is reported. A path ending in "\*.*" or "\*" stands
// for its folder.
bool CheckLocalPath(const QString &path);

// Creates every missing folder along a local path (up to its last "\").
bool CreateFolderPath(const QString &path);

// A fresh temporary name without its ".tmp" extension.
QString TempFileName();

// Deletes a local file; errors are ignored.
void DeleteLocalFile(const QString &path);

// One registry value as text (strings as they are, 32-bit numbers in decimal); false and an
// empty text when the key or value is missing.
bool ReadRegistryValue(Platform::RootKey root, const QString &subKey, const QString &name,
                       QString &value);

// The folder (with its trailing "\") of a program path stored in the registry; empty when
// the value cannot be read.
QString ReadAppFolder(Platform::RootKey root, const QString &subKey, const QString &name);

// The host product's folder (with its trailing "\"), found through the App Paths entry of its
// program; empty when the host product is not registered.
QString ReadHostFolder();
