#include "platform/TextValue.h"

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

// Only ASCII digits count: other scripts' digits are "another character".
int digitValue(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - u'0' : -1;
}

} // namespace

double Val(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;

    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }

    double value = 0;
    for (int digit; i < text.size() && (digit = digitValue(text.at(i))) >= 0; ++i)
        value = value * 10 + digit;

    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        double scale = 0.1;
        for (int digit; ++i < text.size() && (digit = digitValue(text.at(i))) >= 0; scale /= 10)
            value += digit * scale;
    }
    return negative ? -value : value;
}

QString Trim(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}
