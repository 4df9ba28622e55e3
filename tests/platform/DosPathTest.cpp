#include "support/VellixTest.h"

#include "platform/DosPath.h"
#include "platform/Prefix.h"
#include "platform/SystemFolders.h"

#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

using namespace Platform;
using namespace Qt::StringLiterals;

class DosPathTest : public VellixTest
{
protected:
    QString prefix(const QString &relative) const { return tempPath(u"prefix/"_s + relative); }
};

TEST_F(DosPathTest, PrefixIsPrivateAndHasItsDriveLinks)
{
    const QString root = Prefix::root();
    EXPECT_EQ(root, tempPath(u"prefix"_s));
    EXPECT_EQ(QFileInfo(root).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_EQ(Prefix::driveLetters(), u"chz"_s);
    // What each drive names is the DOS paths' rule, tested with them.
    EXPECT_TRUE(QFileInfo(prefix(u"drive_c/windows"_s)).isDir());
}

TEST_F(DosPathTest, PrefixAndHomeDriveWithoutUsableVariables)
{
    unsetEnvironment("VELLIX_PREFIX");
    // A relative data folder counts as none, rather than one below the current folder.
    setEnvironment("XDG_DATA_HOME", "data");
    EXPECT_EQ(Prefix::root(), homePath(u".local/share/vellixon"_s));

    // Without HOME, the home drive is the account's home, not the root folder.
    setEnvironment("VELLIX_PREFIX", QFile::encodeName(tempPath(u"bare"_s)));
    unsetEnvironment("HOME");
    EXPECT_EQ(Prefix::driveTarget(u'h'), QFile::decodeName(::getpwuid(::geteuid())->pw_dir));
}

TEST_F(DosPathTest, ToLinuxMatchesComponentsExactlyThenWithoutCase)
{
    writeFile(homePath(u"Documents/Lesson 1.PDF"_s), "x");
    writeFile(homePath(u"both/Doc/a.txt"_s), "x");
    writeFile(homePath(u"both/doc/b.txt"_s), "x");
    writeFile(prefix(u"drive_c/windows/Dovrelle.ini"_s), "");

    const std::pair<const char *, QString> cases[] = {
        {"h:\\Documents\\Lesson 1.PDF", homePath(u"Documents/Lesson 1.PDF"_s)},
        {"H:\\documents\\lesson 1.pdf", homePath(u"Documents/Lesson 1.PDF"_s)},
        {"h:\\both\\doc\\b.txt", homePath(u"both/doc/b.txt"_s)},
        {"h:\\BOTH\\DOC\\", homePath(u"both/Doc/"_s)},
        {"h:\\documents\\New Folder\\Sub\\x.txt", homePath(u"Documents/New Folder/Sub/x.txt"_s)},
        {"h:\\Documents\\.\\x\\..\\Lesson 1.pdf", homePath(u"Documents/Lesson 1.PDF"_s)},
        {"h:/Documents/lesson 1.pdf", homePath(u"Documents/Lesson 1.PDF"_s)},
        {"c:\\WINDOWS\\dovrelle.INI", prefix(u"drive_c/windows/Dovrelle.ini"_s)},
        {"c:\\..\\..\\windows", prefix(u"drive_c/windows"_s)},
        {"c:", prefix(u"drive_c"_s)},
        {"z:\\", u"/"_s},
        {"q:\\nothing", QString()},
        {"Documents\\x", QString()},
        {"", QString()},
    };
    for (const auto &[dos, linux] : cases) {
        SCOPED_TRACE(dos);
        EXPECT_EQ(DosPath::toLinux(QString::fromUtf8(dos)), linux);
    }
}

TEST_F(DosPathTest, ToDosPicksTheLongestDriveTargetAndSystemFoldersFollowIt)
{
    // a Linux path, and its DOS form (nullptr: some path on Z:)
    const std::pair<QString, const char *> cases[] = {
        {homePath(u"Documents/lesson 1.pdf"_s), "H:\\Documents\\lesson 1.pdf"},
        {homePath(), "H:\\"},
        {homePath(u"sub/"_s), "H:\\sub\\"},
        {prefix(u"drive_c/windows"_s), "C:\\windows"},
        {u"/etc/hostname"_s, "Z:\\etc\\hostname"},
        {u"/"_s, "Z:\\"},
        {homePath(u"../homework"_s), nullptr}, // a sibling of home, not inside it
        {u"relative/path"_s, ""},
    };
    for (const auto &[linux, dos] : cases) {
        SCOPED_TRACE(linux.toStdString());
        if (dos)
            EXPECT_EQ(DosPath::toDos(linux), QString::fromUtf8(dos));
        else
            EXPECT_TRUE(DosPath::toDos(linux).startsWith(QLatin1String("Z:\\")));
    }

    // The system folders in DOS form.
    EXPECT_EQ(SystemFolders::windowsDirectory(), u"C:\\windows"_s);
    QDir().mkpath(homePath(u"Work"_s));
    EXPECT_TRUE(SystemFolders::setCurrentDirectory(u"h:\\work\\"_s));
    EXPECT_EQ(SystemFolders::currentDirectory(), u"H:\\Work"_s);
    EXPECT_TRUE(SystemFolders::setCurrentDirectory(u"h:\\"_s));
    EXPECT_EQ(SystemFolders::currentDirectory(), u"H:\\"_s);
    EXPECT_FALSE(SystemFolders::setCurrentDirectory(u"h:\\missing"_s));
}
