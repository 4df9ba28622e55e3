#include "platform/TransferMeter.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace Platform {

TransferMeter::TransferMeter(qint64 total, Units units, qint64 resumedAt)
    : m_total(total)
    , m_units(units)
    , m_resumedAt(std::max<qint64>(resumedAt, 0))
    , m_done(m_resumedAt)
{
    m_clock.start();
}

bool TransferMeter::update(qint64 done, qint64 elapsedMs)
{
    m_done = done;
    m_elapsedMs = elapsedMs;
    const bool finished = m_total > 0 && done >= m_total;
    if (m_shownAtMs >= 0 && !finished && elapsedMs - m_shownAtMs < IntervalMs)
        return false;
    m_shownAtMs = elapsedMs;
    return true;
}

int TransferMeter::percent() const
{
    if (m_total <= 0)
        return 0;
    return int(std::min<qint64>(m_done * 100 / m_total, 100));
}

QString TransferMeter::bytesText(qint64 bytes, Units units)
{
    const bool decimal = units == Units::Decimal;
    const double step = decimal ? 1000 : 1024;
    if (bytes < step)
        return QStringLiteral("%1 B").arg(bytes);
    static const char *const binaryUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    static const char *const decimalUnits[] = {"KB", "MB", "GB"};
    const int largest = decimal ? 2 : 3;
    double value = double(bytes);
    int unit = -1;
    // What would be rounded up to the next unit is shown in it: "1.0 MB", not "1,000.0 KB".
    while (value >= step - 0.05 && unit < largest) {
        value /= step;
        ++unit;
    }
    if (!decimal)
        return QStringLiteral("%1 %2").arg(QString::number(value, 'f', 1),
                                           QLatin1String(binaryUnits[unit]));
    return NumberText::grouped(value, 1, 1) + u' ' + QLatin1String(decimalUnits[unit]);
}

QString TransferMeter::text() const
{
    QString line = bytesText(m_done, m_units);
    if (m_total > 0)
        line += QStringLiteral(" of %1  %2%")
                    .arg(bytesText(m_total, m_units), QString::number(percent()));
    if (m_resumedAt > 0)
        line += QStringLiteral("  resumed at %1").arg(bytesText(m_resumedAt, m_units));
    if (m_elapsedMs <= 0)
        return line;
    // What an earlier transfer moved took none of this one's time.
    const double bytesPerSecond = std::max<qint64>(m_done - m_resumedAt, 0) * 1000.0 / m_elapsedMs;
    line += QStringLiteral("  %1/s").arg(bytesText(qint64(bytesPerSecond), m_units));
    if (m_total > 0 && bytesPerSecond > 0) {
        const qint64 left = qint64(std::ceil((m_total - m_done) / bytesPerSecond));
        line += QStringLiteral("  %1:%2 left")
                    .arg(QString::number(left / 60),
                         QString::number(left % 60).rightJustified(2, QLatin1Char('0')));
    }
    return line;
}

} // namespace Platform
