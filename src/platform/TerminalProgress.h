#pragma once

#include "platform/TransferMeter.h"

#include <optional>

class QTextStream;

namespace Platform {

// A transfer's progress line on a terminal, as curl and scp draw it: the bytes, the share, the
// rate and the time left, redrawn in place at most ten times a second, and ended by a line
// break when the transfer ends.
class TerminalProgress
{
public:
    explicit TerminalProgress(QTextStream &err);

    // Whether a line is wanted: standard error is a terminal and quiet was not asked for.
    static bool wanted(bool quiet);

    void show(qint64 done, qint64 total);
    // The transfer about to start continues a cut one at `at` of `total` bytes (the client's
    // TransferResumed): its line says so, and its rate counts only the bytes that move now.
    void resumed(qint64 at, qint64 total);
    // The transfer ended: the line, when one was drawn, shows the last bytes told and is ended.
    void finish();

private:
    void draw();

    QTextStream &m_err;
    std::optional<TransferMeter> m_meter;
    qsizetype m_drawn = 0; // characters of the line on the screen
    bool m_behind = false; // the meter holds bytes the line does not show yet
};

} // namespace Platform
