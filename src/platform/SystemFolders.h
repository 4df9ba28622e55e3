#pragma once

#include <QString>

namespace Platform {

// The system folders and the process's current directory, in their DOS form.
namespace SystemFolders {

// The Windows directory, "C:\windows", without a trailing "\" (as the system gives it).
QString windowsDirectory();

// The current directory of the process as a DOS path, without a trailing "\" except at a
// drive's root.
QString currentDirectory();

// Makes the given DOS folder current; false when it does not exist.
bool setCurrentDirectory(const QString &dosPath);

} // namespace SystemFolders
} // namespace Platform
