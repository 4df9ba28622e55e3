#pragma once

#include <QElapsedTimer>
#include <QString>

namespace Platform {

// What a transfer has done so far, as curl and scp show it: the bytes, the share of the whole,
// the rate and the time left. It is told the bytes done and the time gone, and says when a new
// line is due: the first, the last, and otherwise at most ten a second.
class TransferMeter
{
public:
    static constexpr qint64 IntervalMs = 100;

    // Binary as curl counts on a terminal (1 MiB is 1,048,576 bytes); decimal as the windows
    // count, the lists' "meg" and the chooser's "MB" (1 MB is 1,000,000 bytes).
    enum class Units { Binary, Decimal };

    // total: the size of the whole transfer; 0 or less when it is not known. The transfer's
    // time counts from here. resumedAt: the bytes an earlier, cut transfer already moved; the
    // line says where it resumed, and the rate and the time left count only what moves now.
    explicit TransferMeter(qint64 total, Units units = Units::Binary, qint64 resumedAt = 0);

    // Records the bytes done by now; true when a new line is due.
    bool update(qint64 done) { return update(done, m_clock.elapsed()); }
    // The same at a given time since the start.
    bool update(qint64 done, qint64 elapsedMs);
    qint64 elapsedMs() const { return m_clock.elapsed(); }
    // "12.3 MiB of 256.0 MiB  4%  45.6 MiB/s  0:05 left" ("12.3 MB of ..." in decimal units);
    // without the total, the bytes and the rate alone. A resumed transfer says so after the
    // share: "212.5 MiB of 256.0 MiB  83%  resumed at 212.0 MiB  45.6 MiB/s  0:01 left".
    QString text() const;
    // The share done, 0 to 100; 0 while the total is not known.
    int percent() const;

    // "512 B", "1.5 KiB", "12.3 MiB", "1.2 GiB"; in decimal units "1.5 KB", "12.3 MB",
    // "1,234.5 GB".
    static QString bytesText(qint64 bytes, Units units = Units::Binary);

private:
    QElapsedTimer m_clock;
    qint64 m_total;
    Units m_units;
    qint64 m_resumedAt;
    qint64 m_done = 0;
    qint64 m_elapsedMs = 0;
    qint64 m_shownAtMs = -1;
};

} // namespace Platform
