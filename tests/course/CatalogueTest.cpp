// The archive catalogue against real FTP servers on loopback: the walk over the month or named
// folders, the three local files and their upload.

#include "course/SeenBox.h"
#include "servers/ServerModes.h"
#include "support/ConfigTest.h"
#include "support/FullDisk.h"

#include "course/ArchiveCatalogue.h"
#include "course/ConfigStore.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using Platform::Ui;

namespace {

const QString ArchivePath = u"/DV/smith/spring_term"_s;
const QString HostFolder = u"C:\\Dovrelle\\"_s;

// The column headers of a page, in order.
QStringList columnHeaders(const QByteArray &page)
{
    static const QRegularExpression header(uR"(<td><div class="hdr">([^<]*)</div>)"_s);
    QStringList headers;
    for (const auto &match : header.globalMatch(QString::fromLatin1(page)))
        headers << match.captured(1);
    return headers;
}

} // namespace

class CatalogueTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        Shared().FtpClient = std::make_unique<cFTP>();
        Shared().HostFolder = HostFolder;
        Shared().HostDrive = u"C"_s;
        Shared().RemoteDir = ArchivePath + u"/March_2007"_s;
        writeIni("[smith]\r\nschool=Hill & Dale\r\ndept=math\r\ntName=Ms Smith\r\nstartMonth=11\r\n"
                 "startYear=2006\r\nendMonth=2\r\nendYear=2007\r\n");
        ASSERT_TRUE(ReadCourseConfig(u"smith"_s));
    }

    // Linux path of a local catalogue file.
    static QString localFile(const QString &name)
    {
        return Platform::DosPath::toLinux(HostFolder + u"Course\\Archive\\"_s + name);
    }
};

TEST_F(CatalogueTest, RefreshWithoutAnyWayToConnectWritesNothing)
{
    int reconnects = 0;
    Shared().Reconnect = [&] {
        ++reconnects;
        return false;
    };
    RefreshArchive();
    EXPECT_EQ(reconnects, 1);
    EXPECT_FALSE(QFile::exists(localFile(u"index.htm"_s)));
    EXPECT_FALSE(Shared().CatalogueUploadFailed);
    EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default);
}

class CatalogueServerTest : public SharedClientSuite<CatalogueTest>
{
protected:
    void SetUp() override
    {
        SharedClientSuite::SetUp();
        if (!server)
            return;
        ASSERT_TRUE(QDir().mkpath(server->rootPath() + ArchivePath));
    }

    QByteArray serverContent(const QString &path) const
    {
        return readFile(server->rootPath() + path);
    }
};

TEST_P(CatalogueServerTest, MonthsAndNamedFoldersAreWalkedWrittenAndUploaded)
{
    // A month folder may be a link, here to another archive's: the months after it are still
    // this archive's.
    writeFile(server->rootPath() + u"/DV/jones/spring/November_2006/notes.txt"_s, "x");
    writeFile(server->rootPath() + u"/DV/jones/spring/December_2006/other.txt"_s, "x");
    ASSERT_TRUE(QFile::link(u"../../jones/spring/November_2006"_s,
                            server->rootPath() + ArchivePath + u"/November_2006"_s));
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + ArchivePath + u"/December_2006/pictures"_s));
    writeFile(server->rootPath() + ArchivePath + u"/March_2007/late.doc"_s, "x");
    RefreshArchive();
    EXPECT_EQ(ui().pointerChanges(),
              (QList<Ui::Pointer>{Ui::Pointer::Hourglass, Ui::Pointer::Default}));
    const QString page = QString::fromLatin1(readFile(localFile(u"index.htm"_s)));
    EXPECT_EQ(columnHeaders(page.toLatin1()), (QStringList{u"November 2006"_s, u"December 2006"_s,
                                                           u"January 2007"_s, u"February 2007"_s}));
    // A month with a file lists it; one with only a folder gets an empty table; a missing
    // one gets only its header.
    EXPECT_TRUE(page.contains(uR"(doPopup('November_2006/notes.txt');">notes.txt</a>)"_s));
    EXPECT_TRUE(page.contains(
        uR"(<div class="hdr">December 2006</div><div class="li"><table border="0" cellpadding="0" cellspacing="0" valign="top"></table></div></td>)"_s));
    EXPECT_TRUE(page.contains(uR"(<div class="hdr">January 2007</div></td>)"_s));
    EXPECT_TRUE(page.contains(u"<title>Spring Term Archive - smith</title>"_s));
    EXPECT_TRUE(page.contains(u"Hill &#38; Dale - MATH"_s));

    // Named folders instead of months, a teacher's name beyond Latin-1, and the three files
    // uploaded as they were written.
    writeIni("[smith]\r\nnumDirs=1\r\ndir0=spring_term\r\nb0=1\r\nb0_1=Unit_One\r\n"
             "b0_2=Missing\r\nb0_5=Unit_Five\r\n");
    writeFile(server->rootPath() + ArchivePath + u"/Unit_One/it's.pdf"_s, "x");
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + ArchivePath + u"/Unit_Five"_s));
    Shared().TeacherName = u"Zoë Ångström €5 Ω"_s;
    ASSERT_TRUE(BuildArchiveCatalogue());
    const QByteArray namedPage = readFile(localFile(u"index.htm"_s));
    // Folders that cannot be entered get no column.
    EXPECT_EQ(columnHeaders(namedPage), (QStringList{u"Unit One"_s, u"Unit Five"_s}));
    EXPECT_TRUE(namedPage.contains(R"(doPopup('Unit_One/it\'s.pdf');">it's.pdf</a>)"));
    EXPECT_TRUE(namedPage.contains("Zo\xEB \xC5ngstr\xF6m \x80"
                                   "5 &#937;</span>"));
    EXPECT_EQ(readFile(localFile(u"index.xml"_s)),
              QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                         "<?xml-stylesheet type=\"text/xsl\" href=\"index.xsl\"?>\r\n"
                         "<root>\r\n</root>\r\n"));
    EXPECT_EQ(readFile(localFile(u"index.xsl"_s)),
              "<?xml version=\"1.0\" encoding=\"ISO8859-1\"?>\r\n"
              "<xsl:stylesheet version=\"1.0\" "
              "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
              "<xsl:template match=\" / \">\r\n" +
                  namedPage.chopped(2) + "</xsl:template>\r\n</xsl:stylesheet>\r\n");
    for (const QString &name : {u"index.htm"_s, u"index.xml"_s, u"index.xsl"_s})
        EXPECT_EQ(serverContent(ArchivePath + u'/' + name), readFile(localFile(name)))
            << name.toStdString();
}

// A full disk or a pipe in a catalogue file's place stops the refresh before the upload, and the
// old file or the pipe stays; a missing archive folder uploads nothing and sets no flag; a
// failed upload sets it, and the other files are still tried.
TEST_P(CatalogueServerTest, WhatCannotBeWrittenOrUploadedIsToldAndTheRestGoesUp)
{
    if (const FullDisk disk(localFile({})); disk.isMounted()) {
        writeFile(localFile(u"index.htm"_s), "the page before");
        disk.fill();
        EXPECT_FALSE(BuildArchiveCatalogue());
        EXPECT_EQ(readFile(localFile(u"index.htm"_s)), "the page before");
        EXPECT_FALSE(QFile::exists(server->rootPath() + ArchivePath + u"/index.htm"_s));
        ui().clear();
    }
    ASSERT_TRUE(makePipe(localFile(u"index.xml"_s)));
    EXPECT_FALSE(BuildArchiveCatalogue());
    EXPECT_EQ(
        seen(ui().boxes()),
        (QList<SeenBox>{{u"The archive catalogue could not be written to "
                         "C:\\Dovrelle\\Course\\Archive\\index.xml: it is not a regular file."_s,
                         u"Vellixon"_s, Ui::Icon::Critical}}));
    EXPECT_TRUE(isPipe(localFile(u"index.xml"_s)));
    EXPECT_FALSE(QFile::exists(server->rootPath() + ArchivePath + u"/index.htm"_s));
    ASSERT_TRUE(QDir(localFile({})).removeRecursively()); // the local folder, pipe and all

    Shared().ArchiveName = u"autumn"_s;
    Shared().ArchiveDir = u"/DV/smith/autumn"_s;
    ASSERT_TRUE(BuildArchiveCatalogue());
    EXPECT_TRUE(QFile::exists(localFile(u"index.htm"_s)));
    EXPECT_FALSE(Shared().CatalogueUploadFailed);
    EXPECT_FALSE(QFile::exists(server->rootPath() + u"/DV/smith/autumn"_s));

    Shared().ArchiveName = u"spring_term"_s;
    Shared().ArchiveDir = ArchivePath;
    // A folder named like the XML file cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + ArchivePath + u"/index.xml/keep"_s));
    ASSERT_TRUE(BuildArchiveCatalogue());
    EXPECT_TRUE(Shared().CatalogueUploadFailed);
    EXPECT_EQ(serverContent(ArchivePath + u"/index.htm"_s), readFile(localFile(u"index.htm"_s)));
    EXPECT_EQ(serverContent(ArchivePath + u"/index.xsl"_s), readFile(localFile(u"index.xsl"_s)));

    // Uploaded again, the files go into the archive below the login folder, not into a folder
    // of the same path at the server's root.
    Shared().HomeDir = u"/home/smith"_s;
    ASSERT_TRUE(QDir().mkpath(server->rootPath() + Shared().HomeDir + ArchivePath));
    EXPECT_TRUE(UploadCatalogueAgain());
    EXPECT_EQ(serverContent(Shared().HomeDir + ArchivePath + u"/index.xml"_s),
              readFile(localFile(u"index.xml"_s)));
}

INSTANTIATE_TEST_SUITE_P(Servers, CatalogueServerTest, testing::ValuesIn(serverModesWithTls()),
                         serverModeParameterName);
