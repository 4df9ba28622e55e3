#include "securelib/TransferTally.h"

#include <algorithm>

TransferTally::TransferTally(Callback callback)
    : m_callback(std::move(callback))
{}

void TransferTally::plan(qint64 bytes)
{
    m_planned = true;
    m_total += bytes;
}

void TransferTally::sized(qint64 bytes)
{
    m_finished += m_current == UnknownSize ? m_currentDone : m_current;
    m_current = bytes;
    m_currentDone = 0;
    if (!m_planned && bytes != UnknownSize)
        m_total += bytes;
}

bool TransferTally::goesOn(qint64 done)
{
    m_currentDone = done;
    // A stream's bytes count as they come, against no whole (0 to the caller).
    if (m_current == UnknownSize)
        return tell(m_finished + done);
    // A file that grew since it was planned must not take the whole beyond its end.
    return tell(std::min(m_finished + std::min(done, m_current), m_total));
}

void TransferTally::complete()
{
    // A stream has told its every byte already; the whole would only take them back.
    if (m_current != UnknownSize && m_told != m_total)
        tell(m_total);
}

bool TransferTally::tell(qint64 done)
{
    if (m_cancelled)
        return false;
    if (!m_callback)
        return true;
    m_told = done;
    m_cancelled = !m_callback(done, m_total);
    return !m_cancelled;
}
