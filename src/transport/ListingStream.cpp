#include "transport/ListingStream.h"

namespace Ftp {

ListingStream::ListingStream(ListingParser::Format format, const QDateTime &nowUtc, Sink sink)
    : m_format(format)
    , m_nowUtc(nowUtc.isValid() ? nowUtc.toUTC() : QDateTime::currentDateTimeUtc())
    , m_sink(std::move(sink))
{}

bool ListingStream::feed(QByteArrayView bytes)
{
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0 && !m_stopped;
         start = end + 1, end = bytes.indexOf('\n', start)) {
        const QByteArrayView rest = bytes.sliced(start, end - start);
        if (m_partialLine.isEmpty()) {
            take(rest);
        } else {
            m_partialLine += rest;
            take(m_partialLine);
            m_partialLine.clear();
        }
    }
    if (!m_stopped)
        m_partialLine += bytes.sliced(start);
    return !m_stopped;
}

bool ListingStream::finish()
{
    if (!m_stopped && !m_partialLine.isEmpty())
        take(m_partialLine);
    m_partialLine.clear();
    return !m_stopped;
}

bool ListingStream::take(QByteArrayView line)
{
    std::optional<Entry> entry = m_format == ListingParser::Format::Mlsd
                                     ? ListingParser::parseMlsdLine(line)
                                     : ListingParser::parseListLine(line, m_nowUtc);
    if (entry && !m_sink(std::move(*entry)))
        m_stopped = true;
    return !m_stopped;
}

} // namespace Ftp
