#include "support/VellixTest.h"

#include "platform/AutomationDate.h"
#include "platform/LocalDates.h"

#include <cmath>
#include <ctime>
#include <limits>

using namespace Platform;

inline void PrintTo(const QDateTime &when, std::ostream *out)
{
    *out << when.toString(Qt::ISODateWithMs).toStdString();
}

namespace {

constexpr double Hour = 1.0 / 24;
constexpr double Infinity = std::numeric_limits<double>::infinity();

// Runs the test in Berlin's time zone (one hour ahead of UTC in winter, two in summer).
class AutomationDateTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        m_hadZone = qEnvironmentVariableIsSet("TZ");
        m_savedZone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void TearDown() override
    {
        if (m_hadZone)
            qputenv("TZ", m_savedZone);
        else
            qunsetenv("TZ");
        tzset();
        VellixTest::TearDown();
    }

private:
    bool m_hadZone = false;
    QByteArray m_savedZone;
};

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

QDateTime local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

} // namespace

TEST_F(AutomationDateTest, CountsDaysOfTheLocalWallClock)
{
    const struct
    {
        QDateTime when;
        double date;
    } cases[] = {
        {utc(1970, 1, 1), AutomationDate::UnixEpoch + Hour},
        {utc(2007, 1, 1, 11), 39083.5},
        {utc(2007, 7, 1, 10), 39264.5}, // summer time: two hours ahead
        {utc(2006, 12, 31, 23, 30), 39083 + 0.5 * Hour},
        {local(1899, 12, 30), 0.0},
        {local(1899, 12, 29, 6), -1.25},
        {local(1800, 1, 1, 18), -36522.75},
        {local(9999, 12, 31), 2958465.0},
        {QDateTime(), 0.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.when.toString(Qt::ISODate).toStdString());
        EXPECT_NEAR(AutomationDate::fromDateTime(c.when), c.date, 1e-9);
    }
}

TEST_F(AutomationDateTest, LocalDatesOfManyTimesAgreeWithOneAtATime)
{
    const LocalDates dates;
    const QDateTime cases[] = {
        utc(2007, 3, 25, 0, 59).addSecs(59),  // the last second of winter time
        utc(2007, 3, 25, 1),                  // summer time
        utc(2007, 10, 28, 0, 30),             // the hour that comes twice, first time
        utc(2007, 10, 28, 1, 30),             // and second time
        utc(1969, 12, 31, 23).addMSecs(-500), // before 1970, half a second before midnight
        utc(1969, 7, 20, 20, 17).addMSecs(40'123),
        utc(2107, 1, 1, 12).addMSecs(999),
        QDateTime(),
        local(2007, 1, 14, 10, 22, 33), // already local
    };
    for (const QDateTime &when : cases) {
        SCOPED_TRACE(when.toString(Qt::ISODateWithMs).toStdString());
        EXPECT_EQ(dates.fromDateTime(when), AutomationDate::fromDateTime(when));
    }
}

TEST_F(AutomationDateTest, LocalDatesTurnBackIntoTheSecondsTheyCameFrom)
{
    const LocalDates dates;
    const struct
    {
        QDateTime listed;
        QDateTime back;
    } cases[] = {
        {utc(2007, 1, 14, 9, 22), utc(2007, 1, 14, 9, 22)},
        {utc(2007, 7, 1, 10), utc(2007, 7, 1, 10)},
        {utc(2007, 3, 25, 0, 59).addSecs(59), utc(2007, 3, 25, 0, 59).addSecs(59)},
        {utc(2007, 3, 25, 1), utc(2007, 3, 25, 1)},
        {utc(1969, 7, 20, 20, 17).addSecs(40), utc(1969, 7, 20, 20, 17).addSecs(40)},
        // The hour that comes twice shows the same wall clock both times: it reads as the
        // first.
        {utc(2007, 10, 28, 0, 30), utc(2007, 10, 28, 0, 30)},
        {utc(2007, 10, 28, 1, 30), utc(2007, 10, 28, 0, 30)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.listed.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(dates.toSeconds(dates.fromDateTime(c.listed)), c.back.toSecsSinceEpoch());
    }
    // No instant shows a wall clock that the start of summer time skipped.
    EXPECT_EQ(dates.toSeconds(AutomationDate::fromWallClock({QDate(2007, 3, 25), QTime(2, 30)})),
              std::nullopt);
    EXPECT_EQ(dates.toSeconds(3e6), std::nullopt);
}

TEST_F(AutomationDateTest, TurnsDatesBackIntoLocalTime)
{
    EXPECT_EQ(AutomationDate::toLocalDateTime(AutomationDate::UnixEpoch + Hour), utc(1970, 1, 1));
    EXPECT_EQ(AutomationDate::toLocalDateTime(39264.5), utc(2007, 7, 1, 10));
    EXPECT_EQ(AutomationDate::toLocalDateTime(-1.25), local(1899, 12, 29, 6));
    EXPECT_EQ(AutomationDate::toLocalDateTime(0.999'999'999'9), local(1899, 12, 31));
    EXPECT_EQ(AutomationDate::toLocalDateTime(39083.0 + 1.0 / 86'400), local(2007, 1, 1, 0, 0, 1));
    EXPECT_EQ(AutomationDate::toLocalDateTime(39083.5).timeSpec(), Qt::LocalTime);

    for (const double outside : {std::nan(""), Infinity, -Infinity, 3e6, -7e5}) {
        SCOPED_TRACE(outside);
        EXPECT_FALSE(AutomationDate::toLocalDateTime(outside).isValid());
    }

    const QDateTime roundTrips[] = {
        local(1970, 1, 1),       local(2007, 1, 14, 10, 22, 33), local(2007, 7, 1, 23, 59, 59),
        local(1899, 12, 30, 12), local(1850, 6, 1, 7, 30),       local(2100, 2, 28, 1, 2, 3),
    };
    for (const QDateTime &when : roundTrips) {
        SCOPED_TRACE(when.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(AutomationDate::toLocalDateTime(AutomationDate::fromDateTime(when)), when);
    }
}
