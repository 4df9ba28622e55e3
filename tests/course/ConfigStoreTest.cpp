#include "support/ConfigTest.h"

#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/SharedState.h"

using namespace Qt::StringLiterals;

using CourseConfig = ConfigTest;

TEST_F(CourseConfig, ReadsCourseSettings)
{
    // Without a file every value reads empty, whatever was there before.
    Shared().SiteName = Shared().UserId = Shared().School = u"stale"_s;
    EXPECT_TRUE(ReadCourseConfig(u"Bio 1"_s));
    EXPECT_EQ(Shared().SiteName + Shared().UserId + Shared().School, QString());

    writeIni("[Other]\r\nschool=Wrong\r\n[Bio 1]\r\nstartMonth=9\r\nstartYear=2006\r\n"
             "endMonth=6\r\nendYear=2007\r\nschool=Hill\r\ndept=Naturwissenschaften\r\n"
             "tName=Jürgen Ölm\r\nlldir=h:\\bio\r\n");
    ASSERT_TRUE(ReadCourseConfig(u"bio 1"_s));
    const SharedState &s = Shared();
    EXPECT_EQ(QStringList({s.StartMonth, s.StartYear, s.EndMonth, s.EndYear, s.School, s.Dept,
                           s.TeacherName, s.LastLocalDir}),
              QStringList({u"9"_s, u"2006"_s, u"6"_s, u"2007"_s, u"Hill"_s,
                           u"Naturwissenschaften"_s, u"Jürgen Ölm"_s, u"h:\\bio\\"_s}));
    writeIni("[C]\r\nschool=" + QByteArray(300, 's') + "\r\n");
    EXPECT_EQ(ConfigFile().text(u"C"_s, u"school"_s).size(), 254);
}

TEST_F(CourseConfig, TlsSettingWritesAndReads)
{
    // A value that names no mode is taken as the strictest, never as plain FTP.
    const std::pair<QByteArray, Ftp::TlsMode> cases[] = {
        {"", Ftp::TlsMode::Auto},           {"auto", Ftp::TlsMode::Auto},
        {"Require", Ftp::TlsMode::Require}, {"OFF", Ftp::TlsMode::Off},
        {"of", Ftp::TlsMode::Require},      {"no", Ftp::TlsMode::Require},
    };
    for (const auto &[value, mode] : cases) {
        writeIni("[C]\r\ntls=" + value + "\r\nschool=Hill\r\n");
        Shared().Tls = Ftp::TlsMode::Off;
        ReadCourseConfig(u"C"_s);
        EXPECT_EQ(Shared().Tls, mode) << value.toStdString();
    }
    for (const Ftp::TlsMode mode : {Ftp::TlsMode::Off, Ftp::TlsMode::Require}) {
        ASSERT_TRUE(WriteTlsMode(u"C"_s, mode));
        ReadCourseConfig(u"C"_s);
        EXPECT_EQ(Shared().Tls, mode);
    }
}

TEST_F(CourseConfig, ServerPathsFromRemoteAndHomeDirectory)
{
    // remote dir, home dir: month folder path, archive dir, web root (the course, archive and
    // month folder are the split's, tested with it)
    const std::array<const char *, 5> cases[] = {
        {"DV/bio/2007/May_2007", "", "/DV/bio/2007/May_2007", "/DV/bio/2007", "/DV"},
        {" /DV/b/a/m/ ", "/home/anna", "/DV/b/a/m", "/DV/b/a", "/home/anna/DV"},
        {"www//DV/c/a/m", "/www", "/www/DV/c/a/m", "/www/DV/c/a", "/www/DV"},
        {"c/a/m", "/home/anna", "/c/a/m", "/c/a", "/home/anna/"},
        {"", "", "/", "", "/"},
    };
    for (const auto &c : cases) {
        Shared().RemoteDir = QString::fromUtf8(c[0]);
        Shared().HomeDir = QString::fromUtf8(c[1]);
        ReadCourseConfig(u"C"_s);
        EXPECT_EQ(QStringList({Shared().MonthFolderPath, Shared().ArchiveDir, Shared().WebRoot}),
                  QStringList(std::begin(c) + 2, std::end(c)))
            << c[0];
    }
}

TEST(ConfigStore, CollapseSlashesTwiceOver)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/a//b", "/a/b"}, {"a///b", "a/b"}, {"////", "/"}, {"/////", "//"}, {"", ""}};
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(CollapseSlashes(QString::fromUtf8(path)), QString::fromUtf8(expected)) << path;
}

using FolderMap = ConfigTest;

TEST_F(FolderMap, FindsArchiveAmongNumberedEntries)
{
    // entries, archive, named folders, the names of folders 1 and 12
    const std::tuple<QByteArray, QString, bool, QString, QString> cases[] = {
        // An empty entry 0, archives in 1 and 2; the second one uses named folders.
        {"numDirs=2\r\ndir0=\r\ndir1=Spring\r\ndir2=Fall\r\nb2=1\r\nb2_1=Intro\r\nb2_12=Exam\r\n",
         u"Fall"_s, true, u"Intro"_s, u"Exam"_s},
        {"numDirs=2\r\ndir0=\r\ndir1=Spring\r\ndir2=Fall\r\nb1_1=Kept\r\n", u"Spring"_s, false,
         u"Kept"_s, QString()},
        {"numDirs=2\r\ndir0=A\r\ndir7=B\r\nb7=1\r\nb7_1=X\r\n", u"B"_s, true, u"X"_s, {}}, // gap
        {"numDirs=1\r\ndir0=A\r\ndir1=B\r\nb1=1\r\n", u"B"_s, false, {}, {}}, // beyond count
        {"numDirs= 2 dirs\r\ndir0=A\r\ndir1=B\r\nb1=1\r\n", u"B"_s, true, {}, {}},
        {"numDirs=2\r\ndir0=A\r\ndir1=B\r\nb0=1\r\n", u"a"_s, false, {}, {}}, // exact text
        {"numDirs=1\r\ndir0=A\r\nb-1=1\r\nb-1_1=Odd\r\n", u"C"_s, true, u"Odd"_s, {}},
    };
    for (const auto &[keys, archive, named, first, last] : cases) {
        writeIni("[Course]\r\n" + keys);
        Shared().FolderNames.fill(u"stale"_s);
        EXPECT_TRUE(ReadFolderMap(u"Course"_s, archive));
        EXPECT_EQ(Shared().NamedFolders, named) << keys.toStdString();
        EXPECT_EQ(Shared().FolderNames[0], first) << keys.toStdString();
        EXPECT_EQ(Shared().FolderNames[11], last) << keys.toStdString();
    }
}
