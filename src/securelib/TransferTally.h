#pragma once

#include "securelib/TransferWatch.h"

#include <functional>

// The transfers of one command, told to its caller as one transfer: the bytes of the files
// finished and of the file under way, against the size of them all. A command that moves
// several files (a page and its companion folder) plans their whole size before the first;
// otherwise each file's size counts as it starts. Once the caller says no, every later
// question is answered no without asking it again.
class TransferTally : public TransferWatch
{
public:
    // Told the bytes done and the whole size; false cancels. None: every transfer goes on.
    using Callback = std::function<bool(qint64 done, qint64 total)>;

    explicit TransferTally(Callback callback = {});

    // Adds to the whole size the bytes of files still to come. Once planned, the sizes the
    // files tell as they start no longer change the whole.
    void plan(qint64 bytes);
    void sized(qint64 bytes) override;
    bool goesOn(qint64 done) override;
    // After a command that succeeded: tells the caller that the whole is done, unless it was
    // told so already (files of a page's folder that were left out never come).
    void complete();

    bool cancelled() const { return m_cancelled; }
    // The bytes of the file under way, or of the last one, moved so far.
    qint64 currentDone() const { return m_currentDone; }

private:
    bool tell(qint64 done);

    Callback m_callback;
    qint64 m_total = 0;
    qint64 m_finished = 0; // bytes of the files before the one under way
    qint64 m_current = 0;  // size of the file under way, or UnknownSize
    qint64 m_currentDone = 0;
    qint64 m_told = -1;
    bool m_planned = false;
    bool m_cancelled = false;
};
