#pragma once

#include <QString>

// The module routines that classify files by extension and check the names users give them:
// the icon number of a file type in the list windows, the extension of a name, the upload
// filter test, the test of a new name's characters, and the transfer type of a transfer.

// The list windows' icon number of any type that has no picture of its own, and its image key.
constexpr qint16 UnknownFileTypeIndex = 1;
// The highest icon number; the numbers run from UnknownFileTypeIndex up to it without a gap.
constexpr qint16 LastFileTypeIndex = 27;

// All characters after the last "." of a name, in lower case; empty when there is no "." or
// the name ends with one.
QString ExtensionOf(const QString &fileName);

// The icon number of an extension as ExtensionOf gives it (compared exactly, so "PDF" is no
// "pdf"); UnknownFileTypeIndex for any other extension, the empty one included.
qint16 FileTypeIndex(const QString &extension);

// The key of an icon number's picture in the list windows' image list; "file" for a number
// outside the table.
QString FileTypeImageKey(qint16 index);

// Whether the upload filter (the shared allowed-extension list) lets an extension through:
// never with an empty list, always when the list begins with "*.*", else when one element
// equals the extension exactly.
bool ExtensionAllowed(const QString &extension);

// Whether a name the user typed may be used: at most 64 characters, each of which, in lower
// case, occurs in the character set (lower-case letters, digits and "_" when the set is empty).
// An empty name passes; the caller decides what an empty name means.
bool IsValidName(const QString &name, const QString &characterSet = {});

// "." and "..": they name folders, never a file that a rename may make.
bool IsFolderReference(const QString &name);

// Puts the shared FTP client, when there is one, into the transfer type for a file before it
// is transferred. Every type travels in binary, so that no byte of a page or a picture changes
// and sizes match the server's listing.
void SetTransferTypeFor(const QString &fileName);
