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
constexpr double Second = 1.0 / 86'400;
constexpr double Infinity = std::numeric_limits<double>::infinity();

// Runs the test in Berlin's time zone (one hour ahead of UTC in winter, two in summer).
class AutomationDateTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        setEnvironment("TZ", "Europe/Berlin");
        tzset();
    }

    void TearDown() override
    {
        VellixTest::TearDown();
        tzset();
    }
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

TEST_F(AutomationDateTest, CountsDaysOfTheLocalWallClockAndBack)
{
    const std::pair<QDateTime, double> cases[] = {
        {utc(1970, 1, 1), AutomationDate::UnixEpoch + Hour},
        {utc(2007, 1, 1, 11), 39083.5},
        {utc(2007, 7, 1, 10), 39264.5}, // summer time: two hours ahead
        {utc(2006, 12, 31, 23, 30), 39083 + 0.5 * Hour},
        {local(2007, 1, 1, 0, 0, 1), 39083 + Second},
        {local(2007, 7, 1, 23, 59, 59), 39265 - Second},
        {local(1899, 12, 30), 0.0},
        {local(1899, 12, 29, 6), -1.25},
        {local(1800, 1, 1, 18), -36522.75},
        {local(9999, 12, 31), 2958465.0},
    };
    for (const auto &[when, date] : cases) {
        SCOPED_TRACE(when.toString(Qt::ISODate).toStdString());
        EXPECT_NEAR(AutomationDate::fromDateTime(when), date, 1e-9);
        EXPECT_EQ(AutomationDate::toLocalDateTime(date), when);
    }
    EXPECT_EQ(AutomationDate::fromDateTime(QDateTime()), 0.0);
    EXPECT_EQ(AutomationDate::toLocalDateTime(0.999'999'999'9), local(1899, 12, 31));
    EXPECT_EQ(AutomationDate::toLocalDateTime(39083.5).timeSpec(), Qt::LocalTime);
    for (const double outside : {std::nan(""), Infinity, -Infinity, 3e6, -7e5}) {
        SCOPED_TRACE(outside);
        EXPECT_FALSE(AutomationDate::toLocalDateTime(outside).isValid());
    }
}

// Many dates at once agree with one at a time.
TEST_F(AutomationDateTest, LocalDatesAgreeWithOneAtATime)
{
    const LocalDates dates;
    const QDateTime cases[] = {
        utc(2007, 1, 14, 9, 22), utc(2007, 7, 1, 10),
        utc(2007, 3, 25, 0, 59).addSecs(59), // the last second of winter time
        utc(2007, 3, 25, 1),                 // summer time
        utc(1969, 7, 20, 20, 17).addMSecs(40123),
        // The hour that comes twice.
        utc(2007, 10, 28, 0, 30), utc(2007, 10, 28, 1, 30),
        utc(1969, 12, 31, 23).addMSecs(-500), // half a second before midnight, pre-1970
        utc(2107, 1, 1, 12).addMSecs(999), QDateTime(),
        local(2007, 1, 14, 10, 22, 33), // already local
    };
    for (const QDateTime &when : cases)
        EXPECT_EQ(dates.fromDateTime(when), AutomationDate::fromDateTime(when))
            << when.toString(Qt::ISODateWithMs).toStdString();
}
