#pragma once

#include <QString>

// What a window shows of the files an operation moves: the transfer window, which appears once
// a file takes longer than a second, follows its progress and offers Cancel. The operations
// tell it through their window's port; the window decides what to show.
class TransferViewPort
{
public:
    enum class Direction { Up, Down };

    virtual ~TransferViewPort() = default;

    // A file starts going across.
    virtual void fileStarted(const QString &fileName, Direction direction) = 0;
    // The file continues a cut transfer at `at` of its `total` bytes; before its progress.
    virtual void fileResumed(qint64 at, qint64 total) = 0;
    // The bytes done of the file's total (0 or less when the total is not known).
    virtual void fileProgress(qint64 done, qint64 total) = 0;
    // The file went across, failed or was cancelled.
    virtual void fileEnded() = 0;
    // The operation moves no more files.
    virtual void transfersEnded() = 0;
};
