#include "platform/NumberText.h"

#include <cmath>

namespace Platform::NumberText {

namespace {

QString groupDigits(const QString &digits)
{
    QString text;
    text.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += u',';
        text += digits.at(i);
    }
    return text;
}

} // namespace

QString grouped(qint64 value)
{
    const QString digits =
        QString::number(value < 0 ? -static_cast<quint64>(value) : static_cast<quint64>(value));
    return value < 0 ? u'-' + groupDigits(digits) : groupDigits(digits);
}

QString grouped(double value, int minDecimals, int maxDecimals)
{
    const double scale = std::pow(10.0, maxDecimals);
    // Ties to even, as the runtime's Round does.
    const double rounded = std::nearbyint(value * scale) / scale;
    QString text = QString::number(std::fabs(rounded), 'f', maxDecimals);
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0) {
        qsizetype end = text.size();
        while (end > point + 1 + minDecimals && text.at(end - 1) == u'0')
            --end;
        text.truncate(end == point + 1 ? point : end);
    }
    const QString whole = groupDigits(point < 0 ? text : text.left(point));
    const QString decimals = point < 0 ? QString() : text.mid(point);
    return (rounded < 0 ? QStringLiteral("-") : QString()) + whole + decimals;
}

} // namespace Platform::NumberText
