#pragma once

#include "transport/Entry.h"
#include "transport/ListingParser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <functional>

namespace Ftp {

// Reads a folder listing as it arrives: each line is parsed as soon as its end has come, so
// only the line still arriving is held, never the listing. Lines end in CR LF or LF; the last
// one may have no end.
class ListingStream
{
public:
    // Takes each entry, in listing order; false stops the listing.
    using Sink = std::function<bool(Entry &&entry)>;

    ListingStream(ListingParser::Format format, const QDateTime &nowUtc, Sink sink);

    // The next bytes of the listing; false once the sink has stopped it.
    bool feed(QByteArrayView bytes);
    // The listing ended: a last line without a line end is read too. False when the sink
    // stopped the listing.
    bool finish();

private:
    bool take(QByteArrayView line);

    ListingParser::Format m_format;
    QDateTime m_nowUtc;
    Sink m_sink;
    QByteArray m_partialLine;
    bool m_stopped = false;
};

} // namespace Ftp
