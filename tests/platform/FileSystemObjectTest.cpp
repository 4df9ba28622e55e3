#include "support/VellixTest.h"

#include "platform/FileSystemObject.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

using namespace Platform;
using namespace Qt::StringLiterals;

class FileSystemObjectTest : public VellixTest
{
protected:
    FileSystemObject fso;
};

TEST_F(FileSystemObjectTest, FilesAndFoldersAreToldAndDescribeThemselves)
{
    writeFile(homePath(u"Docs/Lesson.TXT"_s), "12345");
    // a path, and whether it names a file, a folder
    const std::tuple<const char *, bool, bool> cases[] = {
        {"h:\\Docs\\Lesson.TXT", true, false},
        {"h:\\Docs", false, true},
        {"h:\\Docs\\", false, true},
        {"h:\\Docs\\Lesson.TXT\\", false, false},
        {"h:\\Docs\\missing.txt", false, false},
    };
    for (const auto &[path, file, folder] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(fso.FileExists(QString::fromUtf8(path)), file);
        EXPECT_EQ(fso.FolderExists(QString::fromUtf8(path)), folder);
        EXPECT_EQ(fso.GetFile(QString::fromUtf8(path)).has_value(), file);
        EXPECT_EQ(fso.GetFolder(QString::fromUtf8(path)).has_value(), folder);
    }

    writeFile(homePath(u"Docs/.hidden"_s), "");
    const QString readOnly = writeFile(homePath(u"Docs/fixed.txt"_s), "x");
    QFile::setPermissions(readOnly, QFile::ReadOwner);

    const auto file = fso.GetFile(u"h:\\docs\\lesson.txt"_s);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name(), u"Lesson.TXT"_s);
    EXPECT_EQ(file->Size(), 5);
    EXPECT_EQ(file->Attributes(), FsoFile::Normal);
    EXPECT_LE(qAbs(file->DateLastModified().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(fso.GetFile(u"h:\\Docs\\.hidden"_s)->Attributes(), FsoFile::Hidden);

    const auto fixed = fso.GetFile(u"h:\\Docs\\fixed.txt"_s);
    EXPECT_EQ(fixed->Attributes(), FsoFile::ReadOnly);
    EXPECT_FALSE(fixed->Delete());
    EXPECT_TRUE(QFileInfo::exists(readOnly));
    EXPECT_TRUE(fixed->Delete(true));
    EXPECT_FALSE(QFileInfo::exists(readOnly));

    const auto folder = fso.GetFolder(u"h:\\docs\\"_s);
    QStringList names;
    for (const FsoFile &f : folder->Files())
        names.append(f.Name());
    EXPECT_EQ(names, (QStringList{u".hidden"_s, u"Lesson.TXT"_s}));
    EXPECT_EQ(folder->Files().first().Path(), u"h:\\docs\\.hidden"_s);
}

TEST_F(FileSystemObjectTest, TempNamesFollowTheSystemPattern)
{
    const QRegularExpression pattern(u"^rad[0-9A-F]{5}\\.tmp$"_s);
    QSet<QString> names;
    for (int i = 0; i < 50; ++i) {
        const QString name = fso.GetTempName();
        EXPECT_TRUE(pattern.match(name).hasMatch()) << name.toStdString();
        names.insert(name);
    }
    EXPECT_GT(names.size(), 40);
}

TEST_F(FileSystemObjectTest, CreatedOrMovedFilesNeverClobberWithoutOverwrite)
{
    const QString existing = writeFile(homePath(u"keep.txt"_s), "precious");
    EXPECT_EQ(fso.CreateTextFile(u"h:\\keep.txt"_s), nullptr);
    EXPECT_EQ(readFile(existing), "precious");

    auto fresh = fso.CreateTextFile(u"h:\\new.txt"_s);
    ASSERT_NE(fresh, nullptr);
    fresh->write("line\r\n");
    fresh->close();
    EXPECT_EQ(readFile(homePath(u"new.txt"_s)), "line\r\n");
    EXPECT_EQ(QFile::permissions(homePath(u"new.txt"_s)),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    // A move never replaces what stands under the new name, nor writes through a link there
    // that leads nowhere.
    const QString outside = tempPath(u"outside.txt"_s);
    ASSERT_TRUE(QFile::link(outside, homePath(u"link.txt"_s)));
    for (const QString &taken : {u"h:\\link.txt"_s, u"h:\\KEEP.txt"_s})
        EXPECT_FALSE(fso.MoveFile(u"h:\\new.txt"_s, taken).isEmpty()) << taken.toStdString();
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_EQ(readFile(homePath(u"new.txt"_s)), "line\r\n");

    auto replaced = fso.CreateTextFile(u"h:\\KEEP.TXT"_s, true);
    ASSERT_NE(replaced, nullptr);
    replaced->close();
    EXPECT_EQ(readFile(existing), "");

    EXPECT_EQ(fso.CreateTextFile(u"h:\\no such folder\\x.txt"_s), nullptr);
    EXPECT_TRUE(fso.CreateFolder(u"h:\\made"_s));
    EXPECT_FALSE(fso.CreateFolder(u"h:\\deep\\er"_s));
    EXPECT_TRUE(fso.FolderExists(u"h:\\made"_s));
}
