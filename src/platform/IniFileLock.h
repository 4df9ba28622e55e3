#pragma once

#include <QLockFile>
#include <QString>

namespace Platform {

// Holds an initialisation file for one change: read, changed and written while no other
// program, or other change in this one, does the same. Without it two programs that change
// the file at once each write their own reading back, and the change of the one that writes
// first is lost. The lock is a file beside it ("NAME.lock", beside the file a link leads
// to), gone when the change ends, and taken over when the program that held it is no longer
// running.
class IniFileLock
{
public:
    // Waits a while for another change to end. Makes the file's folder, so that a file that
    // does not exist yet can be locked before it is made.
    explicit IniFileLock(const QString &linuxPath);

    // False when the lock could not be had: the folder refuses it, or another change did not
    // end in time. The file must not be changed then.
    bool isLocked() const { return m_lock.isLocked(); }

private:
    QLockFile m_lock;
};

} // namespace Platform
