#pragma once

#include <QString>

namespace Platform {

// The folder that holds all Windows-side state of one user, laid out like a Wine prefix:
// dosdevices/ with one link per drive, drive_c/ with the Windows directory, system.reg.
// $VELLIX_PREFIX names it; otherwise $XDG_DATA_HOME/vellixon. It is created (readable by
// the user only) together with its drive links on first use.
class Prefix
{
public:
    // Linux path of the prefix, created with its links when missing.
    static QString root();
    // Linux path of a file or folder inside the prefix.
    static QString path(const QString &relative);
    // Linux path that the link of a drive letter points to; empty when the drive has no link.
    static QString driveTarget(QChar letter);
    // Drive letters (lower case) that have a link, in alphabetical order.
    static QString driveLetters();
    // Linux path of the Windows directory (drive_c/windows), created when missing.
    static QString windowsFolder();
};

} // namespace Platform
