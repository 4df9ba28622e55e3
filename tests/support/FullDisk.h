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
    // Takes up every block left, so that the next write fails for want of space.
    void fill() const;

private:
    QString m_folder;
    bool m_mounted = false;
};
