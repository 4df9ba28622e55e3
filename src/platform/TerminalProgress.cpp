#include "platform/TerminalProgress.h"

#include <QTextStream>

#include <unistd.h>

namespace Platform {

TerminalProgress::TerminalProgress(QTextStream &err)
    : m_err(err)
{}

bool TerminalProgress::wanted(bool quiet)
{
    return !quiet && isatty(STDERR_FILENO) == 1;
}

void TerminalProgress::show(qint64 done, qint64 total)
{
    if (!m_meter)
        m_meter.emplace(total);
    m_behind = !m_meter->update(done);
    if (!m_behind)
        draw();
}

void TerminalProgress::draw()
{
    const QString line = m_meter->text();
    // Blanks wipe what a longer line before left behind.
    m_err << '\r' << line << QString(std::max<qsizetype>(m_drawn - line.size(), 0), u' ');
    m_err.flush();
    m_drawn = line.size();
}

void TerminalProgress::resumed(qint64 at, qint64 total)
{
    // A fresh meter: the transfer's time starts now, whatever a cut attempt showed before.
    m_meter.emplace(total, TransferMeter::Units::Binary, at);
}

void TerminalProgress::finish()
{
    // A transfer of unknown size (a pipe's) never tells that it is whole: its last bytes are
    // drawn here, or the line would stop at the last redraw before them.
    if (m_behind)
        draw();
    if (m_drawn > 0) {
        m_err << '\n';
        m_err.flush();
    }
    m_meter.reset();
    m_drawn = 0;
    m_behind = false;
}

} // namespace Platform
