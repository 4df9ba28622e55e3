#include "transport/SecureCommand.h"

#include "transport/ListingRecord.h"

#include <QList>

#include <limits>

namespace SecureCommand {

namespace {

const QLatin1Char Quote('"');

QString quoted(QString argument)
{
    return Quote + argument.replace(Quote, QLatin1String("\"\"")) + Quote;
}

// The whole number at the start of a text (after leading blanks, with an optional sign), read
// up to the first character that cannot belong to it; nothing when no digit stands there.
// Numbers beyond 64 bits saturate.
std::optional<qint64> leadingNumber(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text.at(at) == QLatin1Char(' '))
        ++at;
    const bool negative = at < text.size() && text.at(at) == QLatin1Char('-');
    if (at < text.size() && (text.at(at) == QLatin1Char('-') || text.at(at) == QLatin1Char('+')))
        ++at;

    constexpr qint64 Limit = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    bool anyDigit = false;
    for (; at < text.size() && text.at(at).isDigit() && text.at(at).unicode() < 0x80; ++at) {
        const int digit = text.at(at).unicode() - '0';
        value = value > (Limit - digit) / 10 ? Limit : value * 10 + digit;
        anyDigit = true;
    }
    if (!anyDigit)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

QString command(QStringView verb, const QString &argument)
{
    return verb.toString() + quoted(argument);
}

QString command(QStringView verb, const QString &first, const QString &second)
{
    return verb.toString() + quoted(first) + QLatin1Char(' ') + quoted(second);
}

QString folderFromPwdReply(const QString &reply)
{
    const QString text = upToNul(reply);
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : text.mid(slash);
}

std::optional<ListingLine> listingLine(QStringView line)
{
    const QList<QStringView> fields = line.split(QLatin1Char('|'));
    const qsizetype count = fields.size();
    if (count < 4)
        return std::nullopt;
    bool isNumber = false;
    const qint32 seconds = fields.at(count - 2).toInt(&isNumber);
    const std::optional<qint64> size = leadingNumber(fields.at(count - 3));
    if (!isNumber || !size)
        return std::nullopt;
    // The name runs up to the "|" before the size field, whatever it holds.
    const qsizetype nameLength = fields.at(count - 3).data() - line.data() - 1;
    return ListingLine{line.left(nameLength).toString(), *size, seconds,
                       fields.at(count - 1).startsWith(QLatin1Char('d'))};
}

qint32 sizeFromDirReply(const QString &reply)
{
    const QString text = upToNul(reply);
    if (text.isEmpty())
        return -1;
    const qsizetype lineEnd = text.indexOf(QLatin1String("\r\n"));
    const std::optional<ListingLine> line =
        listingLine(lineEnd < 0 ? QStringView(text) : QStringView(text).left(lineEnd));
    return line ? ListingRecord::fileSize(line->size) : 0;
}

QString upToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace SecureCommand
