#pragma once

#include <QString>

namespace Platform {

// What stands at a local path, seen without following a symbolic link.
namespace LocalEntry {

// Whether the windows may write a file in the place of what stands at a Linux path: nothing,
// a regular file, or a symbolic link (which the new file replaces, never follows). A named
// pipe, a device, a socket or a folder is something the user set up there, not a copy to
// replace. A path that cannot be looked at is left to the write itself to report.
bool mayReplace(const QString &linuxPath);

} // namespace LocalEntry

} // namespace Platform
