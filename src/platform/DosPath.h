#pragma once

#include <QString>

namespace Platform {

// Turns the control's DOS paths ("h:\Documents\lesson 1.pdf") into Linux paths and back,
// through the drive links of the prefix.
namespace DosPath {

// Linux path for an absolute DOS path ("x:\..."). Each component is matched exactly, or
// without regard to case when no exact match exists (as Wine does); components that do not
// exist yet are kept as written, so the result can name a file to be created. A trailing "\"
// gives a trailing "/". Empty for a path that is not absolute or names a drive without a link.
QString toLinux(const QString &dosPath);

// DOS path for an absolute Linux path, through the drive whose target is the longest prefix
// of the path (upper-case letter, "\" separators). Empty when no drive holds the path.
QString toDos(const QString &linuxPath);

// True for "x:\..." or "x:" with a letter a..z in either case.
bool isAbsolute(const QString &dosPath);

// The folder path with a trailing "\", as the control writes every local folder.
QString withSeparator(const QString &dosFolder);

// Whether a name from elsewhere (a server's listing) can name a file in a local folder and no
// other: not empty, not "." or "..", and holding no "\", "/" or NUL, which would lead into
// another folder or out of this one.
bool isPlainName(const QString &name);

} // namespace DosPath
} // namespace Platform
