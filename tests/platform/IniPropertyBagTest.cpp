#include "support/VellixTest.h"

#include "platform/IniPropertyBag.h"

using namespace Platform;

TEST_F(VellixTest, IniPropertyBagKeepsNonDefaultValuesInWriteOrder)
{
    const QString path = tempPath(QStringLiteral("host.ini"));
    writeFile(path, "[Other]\nx=1\n[Vellix]\nfilter=stale\n");
    {
        IniPropertyBag bag(path, QStringLiteral("Vellix"));
        bag.writeProperty(QStringLiteral("rdir"), QStringLiteral("/DV/Bio/2007/May_2007"),
                          QString());
        bag.writeProperty(QStringLiteral("text"), QString(), QString());
        bag.writeProperty(QStringLiteral("cap"), qint32(250), qint32(0));
        bag.writeProperty(QStringLiteral("dv"), QVariant::fromValue<qint16>(1),
                          QVariant::fromValue<qint16>(0));
        bag.writeProperty(QStringLiteral("filter"), QStringLiteral("0"), QStringLiteral("0"));
        ASSERT_TRUE(bag.save());
    }
    EXPECT_EQ(readFile(path),
              "[Other]\nx=1\n[Vellix]\nrdir=/DV/Bio/2007/May_2007\ncap=250\ndv=1\n");

    IniPropertyBag bag(path, QStringLiteral("Vellix"));
    const QVariant cap = bag.readProperty(QStringLiteral("cap"), qint32(0));
    EXPECT_EQ(cap.metaType(), QMetaType::fromType<qint32>());
    EXPECT_EQ(cap.toInt(), 250);
    const QVariant dv = bag.readProperty(QStringLiteral("dv"), QVariant::fromValue<qint16>(0));
    EXPECT_EQ(dv.metaType(), QMetaType::fromType<qint16>());
    EXPECT_EQ(dv.value<qint16>(), 1);
    EXPECT_EQ(bag.readProperty(QStringLiteral("filter"), QStringLiteral("0")).toString(),
              QStringLiteral("0"));
    EXPECT_EQ(bag.readProperty(QStringLiteral("text"), QStringLiteral("")).toString(), QString());
}

TEST_F(VellixTest, IniPropertyBagReadsUnreadableNumbersAsTheirDefault)
{
    const QString path =
        writeFile(tempPath(QStringLiteral("host.ini")), "[Vellix]\ncap=lots\ndv=12x\n");
    IniPropertyBag bag(path, QStringLiteral("Vellix"));
    EXPECT_EQ(bag.readProperty(QStringLiteral("cap"), qint32(0)).toInt(), 0);
    EXPECT_EQ(
        bag.readProperty(QStringLiteral("dv"), QVariant::fromValue<qint16>(3)).value<qint16>(), 3);
}
