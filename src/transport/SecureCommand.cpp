#include "transport/SecureCommand.h"

#include "transport/ListingRecord.h"

#include <limits>

namespace SecureCommand {

namespace {

const QLatin1Char Quote('"');

QString quoted(const QString &argument)
{
    return Quote + argument + Quote;
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

qint32 sizeFromDirReply(const QString &reply)
{
    const QString text = upToNul(reply);
    if (text.isEmpty())
        return -1;
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return ListingRecord::fileSize(leadingNumber(QStringView(text).mid(bar + 1)).value_or(0));
}

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

QString upToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace SecureCommand
