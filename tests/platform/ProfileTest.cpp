#include "support/FullDisk.h"
#include "support/VellixTest.h"

#include "platform/IniFile.h"
#include "platform/Prefix.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFileInfo>

using namespace Platform;
using namespace Qt::StringLiterals;
using Profile::GetPrivateProfileString;
using Profile::WritePrivateProfileString;

class ProfileTest : public VellixTest
{
protected:
    QString iniPath() const { return Prefix::windowsFolder() + QLatin1String("/Dovrelle.ini"); }

    QByteArray read(const QString &section, const QString &key, int size = 255)
    {
        return GetPrivateProfileString(section, key, "(none)", size, u"Dovrelle.ini"_s);
    }

    bool write(const QString &section, const QString &key, const QByteArray &value)
    {
        return WritePrivateProfileString(section, key, value, u"Dovrelle.ini"_s);
    }
};

// No byte that a line may hold is refused or changed. How values with blanks and quotes at their
// ends are written is the INI file fuzz corpus's to check.
TEST_F(ProfileTest, EveryPrintableValueReadsBackByteForByte)
{
    QList<QByteArray> values{"", "\tTabbed\t"};
    QByteArray all;
    for (int c = 0x20; c < 0x7f; ++c) {
        values.append(QByteArray(1, char(c)));
        all.append(char(c));
    }
    values.append(all);
    for (int c = 0x80; c <= 0xff; ++c)
        values.append(QByteArray(1, char(c)));

    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString key = u"key%1"_s.arg(i);
        SCOPED_TRACE(values.at(i).toHex().toStdString());
        ASSERT_TRUE(write(u"Values"_s, key, values.at(i)));
        EXPECT_EQ(read(u"Values"_s, key), values.at(i));
    }
}

TEST_F(ProfileTest, AWriteChangesOneLineAndKeepsEveryOtherLine)
{
    const QByteArray original = "; Dovrelle settings\r\n"
                                "[Dovrelle]\r\n"
                                "course0=Biology\r\n"
                                "Course1 = Chemistry \r\n"
                                "\r\n"
                                "[Biology]\r\n"
                                "school=North High\r\n"
                                "# remark\r\n"
                                "\r\n"
                                "[Empty]\r\n";
    // section, key and value written, the part of the file the write changes, what it becomes
    const std::tuple<const char *, const char *, QByteArray, QByteArray, QByteArray> cases[] = {
        // A changed key keeps its spelling and place.
        {"DOVRELLE", "COURSE1", "Physics", "Course1 = Chemistry \r\n", "Course1 =Physics\r\n"},
        // A new key goes after the last line of its section, before the blank line.
        {"Biology", "dept", "Science", "# remark\r\n", "# remark\r\ndept=Science\r\n"},
        {"Empty", "a", "1", "[Empty]\r\n", "[Empty]\r\na=1\r\n"},
        // A new section goes at the end.
        {"Physics", "ftpSite", "example.org", "[Empty]\r\n",
         "[Empty]\r\n[Physics]\r\nftpSite=example.org\r\n"},
    };
    for (const auto &[section, key, value, before, after] : cases) {
        SCOPED_TRACE(key);
        writeFile(iniPath(), original);
        ASSERT_TRUE(write(QString::fromUtf8(section), QString::fromUtf8(key), value));
        EXPECT_EQ(readFile(iniPath()), QByteArray(original).replace(before, after));
    }
}

TEST_F(ProfileTest, ReadingFollowsTheFileAsWritten)
{
    writeFile(iniPath(), "[Dovrelle]\n"
                         "course0 =   Biology   \n"
                         "quoted = \"  padded  \"\n"
                         "nul=\n"
                         "noequals\n"
                         "[Dovrelle]\n"
                         "course1=second section of the same name is not read\n");
    EXPECT_EQ(read(u"dovrelle"_s, u"Course0"_s), "Biology");
    EXPECT_EQ(read(u"Dovrelle"_s, u"quoted"_s), "  padded  ");
    EXPECT_EQ(read(u"Dovrelle"_s, u"nul"_s), "");
    EXPECT_EQ(read(u"Dovrelle"_s, u"noequals"_s), "(none)");
    EXPECT_EQ(read(u"Dovrelle"_s, u"course1"_s), "(none)");
    EXPECT_EQ(read(u"Missing"_s, u"course0"_s), "(none)");
    // The buffer size cuts the value to size - 1 bytes; a NUL in the default cuts it too.
    EXPECT_EQ(read(u"Dovrelle"_s, u"course0"_s, 4), "Bio");
    EXPECT_EQ(GetPrivateProfileString(u"Dovrelle"_s, u"x"_s, QByteArray("ab\0cd", 5), 255,
                                      u"Dovrelle.ini"_s),
              "ab");
    // A line-feed file stays a line-feed file.
    ASSERT_TRUE(write(u"Dovrelle"_s, u"course2"_s, "Physics"));
    EXPECT_FALSE(readFile(iniPath()).contains('\r'));
    // The byte order mark an editor puts before UTF-8 text is no part of the first line, and
    // stays.
    const QByteArray marked = "\xef\xbb\xbf[Dovrelle]\r\ncourse0=Biology\r\n";
    writeFile(iniPath(), marked);
    ASSERT_TRUE(write(u"dovrelle"_s, u"course1"_s, "Physics"));
    EXPECT_EQ(readFile(iniPath()), marked + "course1=Physics\r\n");
}

TEST_F(ProfileTest, MissingFileReadsDefaultAndIsCreatedAlone)
{
    EXPECT_EQ(read(u"Dovrelle"_s, u"course0"_s), "(none)");
    EXPECT_FALSE(QFileInfo::exists(iniPath()));
    ASSERT_TRUE(write(u"Dovrelle"_s, u"course0"_s, "Biology"));
    EXPECT_EQ(readFile(iniPath()), "[Dovrelle]\r\ncourse0=Biology\r\n");
    // That a new file is its owner's alone is the host's test, whose bag is written the same
    // way. Writes leave no sibling files behind.
    EXPECT_EQ(QDir(Prefix::windowsFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"Dovrelle.ini"_s});
}

TEST_F(ProfileTest, UnwritableValuesAndNamesChangeNothing)
{
    writeFile(iniPath(), "[Dovrelle]\r\ncourse0=Biology\r\n");
    const std::tuple<const char *, const char *, QByteArray> cases[] = {
        {"Dovrelle", "course0", "carriage\rreturn"},
        {"Dovrelle", "course0", "new\nline"},
        {"Dov\nrelle", "a", "x"},
        {"Dovrelle", "a\rb", "x"},
        {"Dovrelle", "course0", QByteArray("nul\0x", 5)},
        {"Dovrelle", "", "x"},
        {"Dovrelle", "a=b", "x"},
        {"Dov]relle", "a", "x"},
        {"Dovrelle", "[x]", "x"},
        {"Dovrelle", "; x", "x"},
    };
    for (const auto &[section, key, value] : cases) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(write(QString::fromUtf8(section), QString::fromUtf8(key), value));
        EXPECT_EQ(readFile(iniPath()), "[Dovrelle]\r\ncourse0=Biology\r\n");
    }
}

// A settings file that cannot be read, or written whole, stays as it was: a pipe in its place is
// neither waited on nor replaced, and a full disk leaves the old file rather than an empty one.
TEST_F(ProfileTest, AFileThatCannotBeReadOrWrittenWholeStaysAsItWas)
{
    ASSERT_TRUE(makePipe(iniPath()));
    EXPECT_EQ(read(u"Dovrelle"_s, u"course0"_s), "(none)");
    EXPECT_FALSE(write(u"Dovrelle"_s, u"course0"_s, "Biology"));
    EXPECT_TRUE(isPipe(iniPath()));

    const FullDisk disk(tempPath(u"full"_s));
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small disk here";
    const QByteArray settings = "[Dovrelle]\r\ncourse0=Biology\r\n";
    const QString ini = writeFile(tempPath(u"full/my.ini"_s), settings);
    // Room for a page of the file only: the disk takes part of it, and says nothing of the rest.
    disk.fill(4096);
    IniFile file(ini);
    ASSERT_TRUE(file.setValue(u"Dovrelle"_s, u"course1"_s, QByteArray(16384, 'c')));
    EXPECT_FALSE(file.save());
    EXPECT_EQ(readFile(ini), settings);
}

TEST_F(ProfileTest, RemovingAKeyAndAFileOutsideTheWindowsDirectory)
{
    writeFile(iniPath(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileString(u"a"_s, u"X"_s, std::nullopt, u"Dovrelle.ini"_s));
    EXPECT_EQ(readFile(iniPath()), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n");

    EXPECT_EQ(IniFile(iniPath()).keys(u"A"_s), QStringList{u"y"_s});

    // A DOS path names a file outside the Windows directory.
    ASSERT_TRUE(WritePrivateProfileString(u"S"_s, u"k"_s, "v", u"h:\\settings\\my.ini"_s));
    EXPECT_EQ(readFile(homePath(u"settings/my.ini"_s)), "[S]\r\nk=v\r\n");
    EXPECT_EQ(GetPrivateProfileString(u"S"_s, u"k"_s, {}, 255, u"H:\\SETTINGS\\MY.INI"_s), "v");
}
