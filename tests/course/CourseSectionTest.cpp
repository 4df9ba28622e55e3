#include "support/ConfigTest.h"

#include "course/CourseSection.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"

using namespace Qt::StringLiterals;

namespace {

const QString Course = u"bio"_s;
const QString CourseDir = u"/DV/bio/2007/May_2007"_s;

} // namespace

using CourseSectionTest = ConfigTest;

TEST_F(CourseSectionTest, CourseFolderFromRemoteDirectoryOrCourseList)
{
    // remote directory, course list, course, web root ("unchanged": the directory sets none)
    const std::tuple<QString, QByteArray, QString, QString> cases[] = {
        {CourseDir, "course0=Math\r\n", u"bio"_s, u"unchanged"_s},
        {u"/DV"_s, "course0=\r\ncourse1=Art\r\n", u"Art"_s, u"unchanged"_s},
        {u"/DV/"_s, "course1=Art\r\n", u"Art"_s, u"/DV/"_s},
        {u"/pub/DV/smith/"_s, "course0=Math\r\n", u"smith"_s, u"/pub/DV/"_s},
        {u"/pub/DV/smith"_s, "course0=Math\r\n", u"Math"_s, u"/pub/DV/"_s},
        {u"/DV/smith/2007"_s, "course0=Math\r\n", u"smith"_s, u"/DV/"_s},
        {u"/www/courses/"_s, "course10=Late\r\n", u"Late"_s, u"unchanged"_s},
        {u"/www/courses/"_s, "course11=Too late\r\n", u""_s, u"unchanged"_s},
        {u"/dv/smith/"_s, "course0=Math\r\n", u"Math"_s, u"unchanged"_s}, // case matters
    };
    for (const auto &[remoteDir, courseKeys, course, webRoot] : cases) {
        writeIni("[Dovrelle]\r\n" + courseKeys);
        Shared().RemoteDir = remoteDir;
        Shared().WebRoot = u"unchanged"_s;
        ResolveCourseFolder();
        EXPECT_EQ(QStringList({Shared().CourseName, Shared().WebRoot}),
                  QStringList({course, webRoot}))
            << remoteDir.toStdString();
    }
}

TEST_F(CourseSectionTest, CourseLocalFolderEndsInBackslash)
{
    const std::tuple<QByteArray, QString, QString> cases[] = {
        {"h:\\lessons", {}, u"h:\\lessons\\"_s},
        {"h:\\lessons\\", {}, u"h:\\lessons\\"_s},
        {"", u"C"_s, u"C:\\"_s}, // the host product's drive
        {"", {}, {}},
    };
    for (const auto &[lldir, hostDrive, expected] : cases) {
        writeIni("[bio]\r\nlldir=" + lldir + "\r\n");
        Shared().HostDrive = hostDrive;
        EXPECT_EQ(CourseLocalFolder(Course), expected) << lldir.toStdString();
    }
}

TEST_F(CourseSectionTest, OnlyAPositiveNumberMakesSecureOrBatch)
{
    const std::tuple<QString, QByteArray, bool> cases[] = {
        {u"1"_s, "1", true},    {u"2"_s, "3 ", true},    {u"0"_s, "0", false},  {u""_s, "", false},
        {u"-1"_s, "-1", false}, {u"yes"_s, "on", false}, {u" 1"_s, "+1", true},
    };
    for (const auto &[secure, batch, expected] : cases) {
        writeIni("[bio]\r\nbatch=" + batch + "\r\n");
        ASSERT_TRUE(LoginStore().write(Course, u"secure"_s, secure));
        Shared().Secure = Shared().Batch = !expected;
        EXPECT_TRUE(ReadControlCourseConfig(Course));
        EXPECT_EQ(Shared().Secure, expected) << secure.toStdString();
        EXPECT_EQ(Shared().Batch, expected) << batch.toStdString();
    }
}

TEST_F(CourseSectionTest, ConfiguredSiteWithPathGivesHostAndWebRoot)
{
    const std::tuple<QString, QString, QString> cases[] = {
        // stored site, site and host, web root (remote directory /DV/bio/2007/May_2007)
        {u"ftp.school.org/sub/"_s, u"ftp.school.org"_s, u"/sub/DV"_s},
        {u"ftp.school.org/a//b"_s, u"ftp.school.org"_s, u"/a/b/DV"_s},
        {u"ftp.school.org/"_s, u"ftp.school.org"_s, u"/DV"_s},
        {u"ftp.school.org"_s, u"ftp.school.org"_s, u"/DV"_s},
    };
    for (const auto &[stored, site, webRoot] : cases) {
        ASSERT_TRUE(LoginStore().write(Course, u"ftpSite"_s, stored));
        Shared().RemoteDir = CourseDir;
        ReadControlCourseConfig(Course);
        EXPECT_EQ(QStringList({Shared().SiteName, Shared().Host, Shared().WebRoot}),
                  QStringList({site, site, webRoot}))
            << stored.toStdString();
    }
}
