// The list windows' model: rows as shown, sorting by the shown text, totals; the local list's
// rows; and the number texts the windows show.

#include "operations/FileListModel.h"
#include "course/SharedState.h"
#include "operations/ChooserListing.h"
#include "operations/LocalFolderListing.h"
#include "platform/DosPath.h"
#include "platform/NumberText.h"
#include "platform/PartialName.h"
#include "support/VellixTest.h"

#include <QAbstractItemModelTester>
#include <QFile>

#include <array>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The windows' texts show the common cases (the chooser's sizes, the lists' and the web space's
// totals); here the sign, the decimals kept and the rounding.
TEST(NumberTextTest, GroupsDigitsAndKeepsTheDecimalsAsked)
{
    using Platform::NumberText::grouped;
    EXPECT_EQ(grouped(qint64(-1234567)), u"-1,234,567"_s);
    EXPECT_EQ(grouped(2.0, 1, 2), u"2.0"_s);
    EXPECT_EQ(grouped(1234.5, 1, 2), u"1,234.5"_s);
    EXPECT_EQ(grouped(0.125, 1, 2), u"0.12"_s); // ties to even
    EXPECT_EQ(grouped(99.96, 0, 1), u"100"_s);
}

TEST(FileListModelTest, SortsByTheShownTextWhichAgreesWithSizeAndDate)
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QDateTime day(QDate(2007, 3, 14), QTime(9, 5, 7));
    const QList<FileRow> listing{FileRow::listed(u"b.txt"_s, 9, day.addDays(1)),
                                 FileRow::listed(u"A.htm"_s, 1000000, day),
                                 FileRow::listed(u"C.pdf"_s, 10, day.addSecs(-60))};
    const auto column = [&model](int c) {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names.append(model.index(row, c).data().toString());
        return names;
    };
    // A listing comes by name, letter case aside; the listing's row found goes with its row.
    EXPECT_EQ(model.setRows(listing, 0), 1);
    EXPECT_EQ(column(0), QStringList({u"A.htm"_s, u"b.txt"_s, u"C.pdf"_s}));
    EXPECT_EQ(column(FileListModel::SizeColumn).at(0), u"      1,000,000"_s);
    EXPECT_EQ(column(FileListModel::DateColumn).at(1), u"2007-03-15 09:05:07"_s);

    const QPersistentModelIndex held = model.index(1, 0); // b.txt
    model.sort(FileListModel::SizeColumn, Qt::AscendingOrder);
    EXPECT_EQ(column(0), QStringList({u"b.txt"_s, u"C.pdf"_s, u"A.htm"_s}));
    model.sort(FileListModel::DateColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(0), QStringList({u"b.txt"_s, u"A.htm"_s, u"C.pdf"_s}));
    EXPECT_EQ(held.row(), 0);
    // The next listing keeps the order chosen.
    EXPECT_EQ(model.setRows(listing, 2), 2);
    EXPECT_EQ(column(0), QStringList({u"b.txt"_s, u"A.htm"_s, u"C.pdf"_s}));
    EXPECT_EQ(model.setRows(listing), -1);

    model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole);
    model.setChecked(0, true);
    const FileListModel::Totals totals = model.totals();
    EXPECT_EQ((std::array<qint64, 3>{totals.all, totals.checked, totals.checkedCount}),
              (std::array<qint64, 3>{1000019, 19, 2}));
    model.rename(2, u"c.htm"_s);
    EXPECT_EQ(model.row(2).type(), u"htm"_s);
    EXPECT_EQ(model.row(2).imageNumber, model.row(1).imageNumber);

    // Sizes wider than the padding (from 1 TB, as of a sparse local file) sort by number too.
    model.sort(FileListModel::SizeColumn, Qt::AscendingOrder);
    model.setRows({FileRow::listed(u"ten.img"_s, 10'000'000'000'000, day),
                   FileRow::listed(u"two.img"_s, 2'000'000'000'000, day)});
    EXPECT_EQ(column(0), QStringList({u"two.img"_s, u"ten.img"_s}));

    // Characters that would make a name read as another show written out (U+202E would show
    // this one as "invoiceexe.pdf"); the type is the real name's.
    model.setRows({FileRow::listed(u"invoice\u202Efdp.exe"_s, 1, QDateTime())});
    EXPECT_EQ(QStringList({column(0).at(0), column(FileListModel::TypeColumn).at(0)}),
              QStringList({u"invoice\\u{202E}fdp.exe"_s, u"exe"_s}));
}

namespace {

// Gives the calling thread root's right to read any folder, or takes it away, so that root
// meets the folders a user may not read.
void readsAnyFolder(bool reads)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct rights[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, rights) != 0)
        return;
    const quint32 reading = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    rights[0].effective = reads ? rights[0].effective | (rights[0].permitted & reading)
                                : rights[0].effective & ~reading;
    ::syscall(SYS_capset, &header, rights);
}

} // namespace

// The local list's rows: every allowed file of a folder, or one named file, checked.
using LocalFolderListingTest = VellixTest;

TEST_F(LocalFolderListingTest, ListsAllowedFilesOrTheOneNamed)
{
    for (const QString &name : {u"b.txt"_s, u"a.htm"_s, u"c.exe"_s})
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\"_s + name), QByteArray(1234, 'x'));
    Shared().AllowedExtensions = QStringList{u"txt"_s, u"htm"_s};

    // Each row as its name, its size as shown and whether it is checked.
    const auto shown = [](const LocalFolderListing::Result &listing) {
        QStringList rows;
        for (const FileRow &row : listing.rows)
            rows << row.name + u'|' + row.sizeText() + u'|' + QString::number(row.checked);
        return rows;
    };
    const LocalFolderListing::Result all =
        LocalFolderListing::read(u"C:\\Course\\*.*"_s, u"b.txt"_s, true);
    EXPECT_EQ(shown(all),
              QStringList({u"a.htm|          1,234|1"_s, u"b.txt|          1,234|1"_s}));
    EXPECT_EQ(all.preselected, 1);

    const LocalFolderListing::Result one =
        LocalFolderListing::read(u"C:\\Course\\b.txt"_s, {}, false);
    ASSERT_EQ(shown(one), QStringList{u"b.txt|1234|1"_s});
    EXPECT_TRUE(one.rows.at(0).dateText().contains(u'/'));

    EXPECT_TRUE(LocalFolderListing::read(u"C:\\Course\\c.exe"_s, {}, false).rows.isEmpty());
    EXPECT_FALSE(LocalFolderListing::read(u"C:\\Missing\\"_s, {}, false).listed);

    // A folder the user may not read says so, rather than pass for an empty one. Root reads
    // any folder: this thread gives up that right for the listing.
    const QString course = Platform::DosPath::toLinux(u"C:\\Course\\"_s);
    ASSERT_TRUE(QFile::setPermissions(course, QFile::ExeOwner));
    readsAnyFolder(false);
    const LocalFolderListing::Result locked =
        LocalFolderListing::read(u"C:\\Course\\"_s, {}, false);
    const LocalFolderListing::Result named =
        LocalFolderListing::read(u"C:\\Course\\b.txt"_s, {}, false);
    const ChooserListing chosen = ChooserListing::read(u"C:\\Course"_s, u"*.*"_s); // the same
    readsAnyFolder(true);
    QFile::setPermissions(course, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(locked.rows.isEmpty());
    EXPECT_EQ(shown(named), QStringList{u"b.txt|1234|1"_s}); // a file named can be reached
    EXPECT_FALSE(chosen.listed);
    ASSERT_EQ(ui().boxes().size(), 2);
    for (const auto &box : ui().boxes())
        EXPECT_EQ(box.text, u"The files of this folder cannot be listed.\r\nPermission denied"_s);

    // A download's partial and its note stay unlisted whatever the filter lets through, and so
    // do a name that a DOS path would read as a folder's file ("d\e.txt" as e.txt in d) and a
    // link that leads nowhere.
    Shared().AllowedExtensions = QStringList{u"*.*"_s};
    const QString partial = PartialName::pathFor(u"b.txt"_s);
    writeFile(course + u"d\\e.txt"_s, "x");
    ASSERT_TRUE(QFile::link(course + u"gone.txt"_s, course + u"link.txt"_s));
    for (const QString &name : {partial, PartialName::originPathFor(u"b.txt"_s)})
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\"_s + name), "x");
    EXPECT_EQ(shown(LocalFolderListing::read(u"C:\\Course\\"_s, {}, false)),
              QStringList({u"a.htm|          1,234|0"_s, u"b.txt|          1,234|0"_s,
                           u"c.exe|          1,234|0"_s}));
    EXPECT_TRUE(LocalFolderListing::read(u"C:\\Course\\"_s + partial, {}, false).rows.isEmpty());
}
