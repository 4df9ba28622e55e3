#include "platform/TransferMeter.h"

#include <gtest/gtest.h>

using Platform::TransferMeter;

TEST(TransferMeterTest, LinesAsCurlShowsThem)
{
    // total, done, milliseconds since the start, bytes resumed at: the line shown
    const std::tuple<qint64, qint64, qint64, qint64, const char *> cases[] = {
        {0, 0, 0, 0, "0 B"},
        {2048, 1024, 0, 0, "1.0 KiB of 2.0 KiB  50%"},
        {256ll << 20, 64ll << 20, 2000, 0, "64.0 MiB of 256.0 MiB  25%  32.0 MiB/s  0:06 left"},
        {5ll << 30, 1ll << 30, 10000, 0, "1.0 GiB of 5.0 GiB  20%  102.4 MiB/s  0:40 left"},
        {100, 0, 1000, 0, "0 B of 100 B  0%  0 B/s"},
        {0, 3000, 1000, 0, "2.9 KiB  2.9 KiB/s"},
        {1000, 1000, 700000, 0, "1000 B of 1000 B  100%  1 B/s  0:00 left"},
        // Resumed: the rate and the time left count only the bytes moved since the start.
        {256ll << 20, 216ll << 20, 2000, 200ll << 20,
         "216.0 MiB of 256.0 MiB  84%  resumed at 200.0 MiB  8.0 MiB/s  0:05 left"},
    };
    for (const auto &[total, done, elapsedMs, resumedAt, line] : cases) {
        TransferMeter meter(total, TransferMeter::Units::Binary, resumedAt);
        meter.update(done, elapsedMs);
        EXPECT_EQ(meter.text().toStdString(), line);
    }
}

// The windows count as the lists and the chooser do: 1 MB is 1,000,000 bytes.
TEST(TransferMeterTest, WindowsCountInDecimalUnits)
{
    const std::pair<qint64, const char *> sizes[] = {
        {999, "999 B"},        {1000, "1.0 KB"},       {1024, "1.0 KB"},
        {999949, "999.9 KB"},  {999960, "1.0 MB"},     {1048576, "1.0 MB"},
        {76300000, "76.3 MB"}, {2147483647, "2.1 GB"}, {1234567890123, "1,234.6 GB"},
    };
    for (const auto &[bytes, text] : sizes)
        EXPECT_EQ(TransferMeter::bytesText(bytes, TransferMeter::Units::Decimal).toStdString(),
                  text)
            << bytes;

    TransferMeter meter(500000000, TransferMeter::Units::Decimal, 212000000);
    meter.update(262000000, 10000);
    EXPECT_EQ(meter.text().toStdString(),
              "262.0 MB of 500.0 MB  52%  resumed at 212.0 MB  5.0 MB/s  0:48 left");
}

TEST(TransferMeterTest, AtMostTenLinesASecondAndAlwaysTheLast)
{
    TransferMeter meter(1000);
    EXPECT_TRUE(meter.update(10, 5));   // the first
    EXPECT_FALSE(meter.update(20, 50)); // too soon
    EXPECT_TRUE(meter.update(30, 105)); // 100 ms after the first
    EXPECT_FALSE(meter.update(40, 150));
    EXPECT_TRUE(meter.update(1000, 160)); // the last, however soon
    EXPECT_EQ(meter.percent(), 100);
}
