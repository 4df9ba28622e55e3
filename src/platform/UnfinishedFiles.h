#pragma once

#include <QString>

namespace Platform {

// The temporary files of this process that are of no use once it has ended: new versions of
// files not yet put in their place. A program that must end at once, without unwinding to the
// code that would give them up (a script host whose script failed or ran out of time in the
// middle of a download), removes them before it goes.
class UnfinishedFiles
{
public:
    static void add(const QString &path);
    static void drop(const QString &path);
    // Removes every file still listed from the disk; from any thread.
    static void removeAll();
    // From now on, a signal that ends the program (SIGINT, SIGTERM, SIGHUP) removes the listed
    // files before the program ends by it: a desktop session that closes, or `kill`, leaves no
    // hidden new version beside the user's file.
    static void removeOnEndingSignals();
};

} // namespace Platform
