#pragma once

#include <QString>

// A small disk of its own, mounted on a folder for the life of the object: a test puts there
// the files a write must keep whole, fills the disk up, and sees the write fail. Mounting
// needs root; a test skips itself when isMounted() is false.
class FullDisk
{
public:
    explicit FullDisk(QString folder);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    // Takes up every block left but about `spare` bytes, so that the next write fails for want
    // of space: at once, or, with room to spare, after a short write.
    void fill(qint64 spare = 0) const;

private:
    QString m_folder;
    bool m_mounted = false;
};
