#include "support/VellixTest.h"

#include "platform/IniPropertyBag.h"

using namespace Platform;
using namespace Qt::StringLiterals;

// The control's tests check what it keeps in a bag; this one checks a default other than zero,
// which they cannot tell apart from a number that failed to convert, and a value the file cannot
// hold, which fails the save rather than leave the value before it in its place.
TEST_F(VellixTest, IniPropertyBagReadsUnreadableNumbersAsTheirDefaultAndSavesOnlyWhatItHolds)
{
    const QByteArray before = "[Vellix]\ncap=lots\ndv=12x\n";
    const QString path = writeFile(tempPath(u"host.ini"_s), before);
    IniPropertyBag bag(path, u"Vellix"_s);
    EXPECT_EQ(bag.readProperty(u"cap"_s, qint32(0)).toInt(), 0);
    EXPECT_EQ(bag.readProperty(u"dv"_s, QVariant::fromValue<qint16>(3)).value<qint16>(), 3);

    bag.writeProperty(u"cap"_s, u"new\nline"_s, QString());
    bag.writeProperty(u"text"_s, u"C:\\a.txt"_s, QString());
    EXPECT_FALSE(bag.save());
    EXPECT_EQ(readFile(path), before);
}
