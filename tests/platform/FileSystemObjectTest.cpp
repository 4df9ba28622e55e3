#include "support/VellixTest.h"

#include "platform/FileSystemObject.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

using namespace Platform;

class FileSystemObjectTest : public VellixTest
{
protected:
    FileSystemObject fso;
};

TEST_F(FileSystemObjectTest, FilesAndFoldersAreTold)
{
    writeFile(homePath(QStringLiteral("Docs/Lesson.TXT")), "12345");
    const struct
    {
        const char *path;
        bool file;
        bool folder;
    } cases[] = {
        {"h:\\Docs\\Lesson.TXT", true, false},
        {"h:\\docs\\lesson.txt", true, false},
        {"h:\\Docs", false, true},
        {"h:\\Docs\\", false, true},
        {"h:\\Docs\\Lesson.TXT\\", false, false},
        {"h:\\Docs\\missing.txt", false, false},
        {"q:\\Docs", false, false},
        {"Docs\\Lesson.TXT", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fso.FileExists(QString::fromUtf8(c.path)), c.file);
        EXPECT_EQ(fso.FolderExists(QString::fromUtf8(c.path)), c.folder);
        EXPECT_EQ(fso.GetFile(QString::fromUtf8(c.path)).has_value(), c.file);
        EXPECT_EQ(fso.GetFolder(QString::fromUtf8(c.path)).has_value(), c.folder);
    }
}

TEST_F(FileSystemObjectTest, FileDescribesItself)
{
    writeFile(homePath(QStringLiteral("Docs/Lesson.TXT")), "12345");
    writeFile(homePath(QStringLiteral("Docs/.hidden")), "");
    const QString readOnly = writeFile(homePath(QStringLiteral("Docs/fixed.txt")), "x");
    QFile::setPermissions(readOnly, QFile::ReadOwner);

    const auto file = fso.GetFile(QStringLiteral("h:\\docs\\lesson.txt"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name(), QStringLiteral("Lesson.TXT"));
    EXPECT_EQ(file->Size(), 5);
    EXPECT_EQ(file->Attributes(), FsoFile::Normal);
    EXPECT_LE(qAbs(file->DateLastModified().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(fso.GetFile(QStringLiteral("h:\\Docs\\.hidden"))->Attributes(), FsoFile::Hidden);

    const auto fixed = fso.GetFile(QStringLiteral("h:\\Docs\\fixed.txt"));
    EXPECT_EQ(fixed->Attributes(), FsoFile::ReadOnly);
    EXPECT_FALSE(fixed->Delete());
    EXPECT_TRUE(QFileInfo::exists(readOnly));
    EXPECT_TRUE(fixed->Delete(true));
    EXPECT_FALSE(QFileInfo::exists(readOnly));

    const auto folder = fso.GetFolder(QStringLiteral("h:\\docs\\"));
    QStringList names;
    for (const FsoFile &f : folder->Files())
        names.append(f.Name());
    EXPECT_EQ(names, (QStringList{QStringLiteral(".hidden"), QStringLiteral("Lesson.TXT")}));
    EXPECT_EQ(folder->Files().first().Path(), QStringLiteral("h:\\docs\\.hidden"));
}

TEST_F(FileSystemObjectTest, TempNamesFollowTheSystemPattern)
{
    const QRegularExpression pattern(QStringLiteral("^rad[0-9A-F]{5}\\.tmp$"));
    QSet<QString> names;
    for (int i = 0; i < 50; ++i) {
        const QString name = fso.GetTempName();
        EXPECT_TRUE(pattern.match(name).hasMatch()) << name.toStdString();
        names.insert(name);
    }
    EXPECT_GT(names.size(), 40);
}

TEST_F(FileSystemObjectTest, CreatedFilesNeverClobberWithoutOverwrite)
{
    const QString existing = writeFile(homePath(QStringLiteral("keep.txt")), "precious");
    EXPECT_EQ(fso.CreateTextFile(QStringLiteral("h:\\keep.txt")), nullptr);
    EXPECT_EQ(readFile(existing), "precious");

    auto fresh = fso.CreateTextFile(QStringLiteral("h:\\new.txt"));
    ASSERT_NE(fresh, nullptr);
    fresh->write("line\r\n");
    fresh->close();
    EXPECT_EQ(readFile(homePath(QStringLiteral("new.txt"))), "line\r\n");

    auto replaced = fso.CreateTextFile(QStringLiteral("h:\\KEEP.TXT"), true);
    ASSERT_NE(replaced, nullptr);
    replaced->close();
    EXPECT_EQ(readFile(existing), "");

    EXPECT_EQ(fso.CreateTextFile(QStringLiteral("h:\\no such folder\\x.txt")), nullptr);
    EXPECT_TRUE(fso.CreateFolder(QStringLiteral("h:\\made")));
    EXPECT_FALSE(fso.CreateFolder(QStringLiteral("h:\\deep\\er")));
    EXPECT_TRUE(fso.FolderExists(QStringLiteral("h:\\made")));
}
