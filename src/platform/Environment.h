#pragma once

#include <QStringList>

namespace Platform {

// The environment strings as a Windows program reads them by number: "NAME=value" entries.
namespace Environment {

// The process environment in its own order, followed by the entries every Windows session
// has and that the prefix stands for, when the process has none of that name (compared
// without regard to case): "ProgramFiles=C:\Program Files" and "SystemRoot=C:\windows".
QStringList entries();

} // namespace Environment
} // namespace Platform
