#include "support/VellixTest.h"

#include "transport/cDirList.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
namespace {

void addFile(cDirList &list, const QString &name, qint32 size = 0)
{
    list.Add(0x80, 1.0, 2.0, 3.0, size, name);
}

// The size of an entry, or -1 for none, so that a missing entry fails a check and no more.
qint64 sizeOf(const cDirItem *item)
{
    return item ? item->FileSize : -1;
}

QStringList namesOf(const cDirList &list)
{
    QStringList names;
    for (const cDirItem &item : list)
        names.append(item.Filename);
    return names;
}

} // namespace

TEST_F(VellixTest, DirListTurnsAttributeBitsIntoItsNineFlags)
{
    using Flag = bool cDirItem::*;
    const struct
    {
        qint32 bit;
        Flag flag;
    } flags[] = {
        {0x1, &cDirItem::ReadOnly},    {0x2, &cDirItem::Hidden},       {0x4, &cDirItem::System},
        {0x10, &cDirItem::Directory},  {0x20, &cDirItem::Archive},     {0x80, &cDirItem::Normal},
        {0x100, &cDirItem::Temporary}, {0x800, &cDirItem::Compressed}, {0x1000, &cDirItem::Offline},
    };
    cDirList list;
    for (const auto &set : flags) {
        SCOPED_TRACE(set.bit);
        list.Clear();
        list.Add(set.bit, 0, 0, 0, 0, u"entry"_s);
        const cDirItem *item = list.Item(1);
        ASSERT_NE(item, nullptr);
        for (const auto &other : flags)
            EXPECT_EQ(item->*other.flag, other.bit == set.bit) << "bit " << other.bit;
    }

    // Bits that are not among the nine set nothing; all nine together set everything.
    list.Add(0x8 | 0x40 | 0x200 | 0x400 | 0x2000 | qint32(0x80000000), 0, 0, 0, 0, u"others"_s);
    list.Add(0x1 | 0x2 | 0x4 | 0x10 | 0x20 | 0x80 | 0x100 | 0x800 | 0x1000, 0, 0, 0, 0, u"all"_s);
    const cDirItem *others = list.Item(u"others"_s);
    const cDirItem *all = list.Item(u"all"_s);
    ASSERT_TRUE(others && all);
    for (const auto &flag : flags) {
        EXPECT_FALSE(others->*flag.flag) << "bit " << flag.bit;
        EXPECT_TRUE(all->*flag.flag) << "bit " << flag.bit;
    }
}

TEST_F(VellixTest, DirListKeepsTheFirstOfNamesThatDifferOnlyInCase)
{
    cDirList list;
    addFile(list, u"Index.htm"_s, 1);
    addFile(list, u"INDEX.HTM"_s, 2);
    addFile(list, QString::fromUtf8("Été.htm"), 3);
    addFile(list, QString::fromUtf8("éTÉ.HTM"), 4);
    addFile(list, u"index.htm"_s, 5);
    addFile(list, u"index.xml"_s, 6);

    EXPECT_EQ(namesOf(list),
              QStringList({u"Index.htm"_s, QString::fromUtf8("Été.htm"), u"index.xml"_s}));
    EXPECT_EQ(sizeOf(list.Item(u"index.HTM"_s)), 1);
    EXPECT_EQ(sizeOf(list.Item(QString::fromUtf8("ÉTÉ.htm"))), 3);
    EXPECT_EQ(sizeOf(list.Item(3)), 6);
    EXPECT_TRUE(ui().boxes().isEmpty());
}

TEST_F(VellixTest, DirListItemFindsByPositionOrNameAndOtherwiseNothing)
{
    cDirList list;
    addFile(list, u"a.htm"_s);
    addFile(list, u"2"_s);
    addFile(list, u"c.htm"_s);
    const auto nameAt = [](const cDirItem *item) { return item ? item->Filename : u"(nothing)"_s; };
    const QString nothing = u"(nothing)"_s;

    // Found positions and names go through the typed look-ups the table below reaches; the
    // bounds of a position are checked again by its own.
    for (const int outside : {0, 4, -1, std::numeric_limits<int>::min()})
        EXPECT_EQ(nameAt(list.Item(outside)), nothing) << outside;
    EXPECT_EQ(nameAt(list.Item(QString())), nothing);

    const struct
    {
        QVariant index;
        QString name;
    } variants[] = {
        {QVariant(1), u"a.htm"_s},
        {QVariant(3u), u"c.htm"_s},
        {QVariant(qint64(3)), u"c.htm"_s},
        {QVariant(2.5), u"2"_s},  // half to even
        {QVariant(3.5), nothing}, // rounds to 4
        {QVariant(1.4), u"a.htm"_s},
        {QVariant(0.4), nothing},
        {QVariant(u"2"_s), u"2"_s}, // a text is a name
        {QVariant(u"3"_s), nothing},
        {QVariant(u"A.HTM"_s), u"a.htm"_s},
        {QVariant(0), nothing},
        {QVariant(4), nothing},
        {QVariant(qint64(1) << 40), nothing},
        {QVariant(std::nan("")), nothing},
        {QVariant(std::numeric_limits<double>::infinity()), nothing},
        {QVariant(), nothing},
        {QVariant(true), nothing},
        {QVariant(QDate(2007, 1, 1)), nothing},
        {QVariant(QByteArray("a.htm")), nothing},
    };
    for (const auto &c : variants) {
        SCOPED_TRACE(c.index.toString().toStdString() + " of type " +
                     std::to_string(c.index.typeId()));
        EXPECT_EQ(nameAt(list.Item(c.index)), c.name);
    }
}

TEST_F(VellixTest, DirListKeepsItemsInPlaceAndFindsNamesInLargeListings)
{
    cDirList list;
    addFile(list, u"first.htm"_s);
    cDirItem *first = list.Item(1);
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 10'000; ++i)
        addFile(list, u"file%1.pdf"_s.arg(i), i);

    EXPECT_EQ(list.Count(), 10'001);
    EXPECT_EQ(list.Item(1), first);
    EXPECT_EQ(list.Item(u"FIRST.HTM"_s), first);
    EXPECT_EQ(sizeOf(list.Item(u"File9999.PDF"_s)), 9999);
    EXPECT_EQ(list.Item(10'001), list.Item(u"file9999.pdf"_s));

    // Records are writable through what Item returns.
    first->Hidden = true;
    EXPECT_TRUE(list.begin()->Hidden);
}
