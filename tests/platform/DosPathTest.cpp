#include "support/VellixTest.h"

#include "platform/DosPath.h"
#include "platform/Prefix.h"
#include "platform/SystemFolders.h"

#include <QDir>
#include <QFileInfo>

using namespace Platform;

class DosPathTest : public VellixTest
{
protected:
    QString prefix(const QString &relative) const
    {
        return tempPath(QStringLiteral("prefix/") + relative);
    }
};

TEST_F(DosPathTest, PrefixIsPrivateAndHasItsDriveLinks)
{
    const QString root = Prefix::root();
    EXPECT_EQ(root, tempPath(QStringLiteral("prefix")));
    EXPECT_EQ(QFileInfo(root).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_EQ(Prefix::driveLetters(), QStringLiteral("chz"));
    EXPECT_EQ(Prefix::driveTarget(QLatin1Char('C')), prefix(QStringLiteral("drive_c")));
    EXPECT_EQ(Prefix::driveTarget(QLatin1Char('h')), homePath());
    EXPECT_EQ(Prefix::driveTarget(QLatin1Char('z')), QStringLiteral("/"));
    EXPECT_TRUE(Prefix::driveTarget(QLatin1Char('q')).isEmpty());
    EXPECT_TRUE(QFileInfo(prefix(QStringLiteral("drive_c/windows"))).isDir());
}

TEST_F(DosPathTest, ToLinuxMatchesComponentsExactlyThenWithoutCase)
{
    writeFile(homePath(QStringLiteral("Documents/Lesson 1.PDF")), "x");
    writeFile(homePath(QStringLiteral("both/Doc/a.txt")), "x");
    writeFile(homePath(QStringLiteral("both/doc/b.txt")), "x");
    writeFile(prefix(QStringLiteral("drive_c/windows/Dovrelle.ini")), "");

    const struct
    {
        const char *dos;
        QString linux;
    } cases[] = {
        {"h:\\Documents\\Lesson 1.PDF", homePath(QStringLiteral("Documents/Lesson 1.PDF"))},
        {"H:\\documents\\lesson 1.pdf", homePath(QStringLiteral("Documents/Lesson 1.PDF"))},
        {"h:\\both\\doc\\b.txt", homePath(QStringLiteral("both/doc/b.txt"))},
        {"h:\\both\\Doc\\a.txt", homePath(QStringLiteral("both/Doc/a.txt"))},
        {"h:\\BOTH\\DOC\\", homePath(QStringLiteral("both/Doc/"))},
        {"h:\\documents\\New Folder\\Sub\\x.txt",
         homePath(QStringLiteral("Documents/New Folder/Sub/x.txt"))},
        {"h:\\Documents\\.\\x\\..\\Lesson 1.pdf",
         homePath(QStringLiteral("Documents/Lesson 1.PDF"))},
        {"h:/Documents/lesson 1.pdf", homePath(QStringLiteral("Documents/Lesson 1.PDF"))},
        {"c:\\WINDOWS\\dovrelle.INI", prefix(QStringLiteral("drive_c/windows/Dovrelle.ini"))},
        {"c:\\..\\..\\windows", prefix(QStringLiteral("drive_c/windows"))},
        {"c:", prefix(QStringLiteral("drive_c"))},
        {"z:\\", QStringLiteral("/")},
        {"q:\\nothing", QString()},
        {"Documents\\x", QString()},
        {"\\\\server\\share\\x", QString()},
        {"1:\\x", QString()},
        {"", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dos);
        EXPECT_EQ(DosPath::toLinux(QString::fromUtf8(c.dos)), c.linux);
    }
}

TEST_F(DosPathTest, ToDosPicksTheLongestDriveTarget)
{
    const struct
    {
        QString linux;
        const char *dos;
    } cases[] = {
        {homePath(QStringLiteral("Documents/lesson 1.pdf")), "H:\\Documents\\lesson 1.pdf"},
        {homePath(), "H:\\"},
        {homePath(QStringLiteral("sub/")), "H:\\sub\\"},
        {prefix(QStringLiteral("drive_c/windows")), "C:\\windows"},
        {QStringLiteral("/etc/hostname"), "Z:\\etc\\hostname"},
        {QStringLiteral("/"), "Z:\\"},
        {homePath(QStringLiteral("../homework")), nullptr}, // a sibling of home, not inside it
        {QStringLiteral("relative/path"), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.linux.toStdString());
        if (c.dos)
            EXPECT_EQ(DosPath::toDos(c.linux), QString::fromUtf8(c.dos));
        else
            EXPECT_TRUE(DosPath::toDos(c.linux).startsWith(QLatin1String("Z:\\")));
    }
}

TEST_F(DosPathTest, SystemFoldersInDosForm)
{
    EXPECT_EQ(SystemFolders::windowsDirectory(), QStringLiteral("C:\\windows"));
    const QString saved = QDir::currentPath();
    QDir().mkpath(homePath(QStringLiteral("Work")));
    EXPECT_TRUE(SystemFolders::setCurrentDirectory(QStringLiteral("h:\\work\\")));
    EXPECT_EQ(SystemFolders::currentDirectory(), QStringLiteral("H:\\Work"));
    EXPECT_TRUE(SystemFolders::setCurrentDirectory(QStringLiteral("h:\\")));
    EXPECT_EQ(SystemFolders::currentDirectory(), QStringLiteral("H:\\"));
    EXPECT_FALSE(SystemFolders::setCurrentDirectory(QStringLiteral("h:\\missing")));
    QDir::setCurrent(saved);
}
