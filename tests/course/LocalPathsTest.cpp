#include "course/SeenBox.h"
#include "support/VellixTest.h"

#include "course/LocalPaths.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using Platform::Ui;

TEST(SplitRemotePath, SplitsFromTheRight)
{
    // path: course, archive, month, web root path
    const std::array<QString, 5> cases[] = {
        {u"/bio/"_s, u"bio"_s, {}, {}, {}},
        {u"bio/2007/May_2007"_s, u"bio"_s, u"2007"_s, u"May_2007"_s, {}},
        {u"/DV/bio/2007/May_2007/"_s, u"bio"_s, u"2007"_s, u"May_2007"_s, u"DV"_s},
        {u"www/DV/bio/2007/May_2007"_s, u"bio"_s, u"2007"_s, u"May_2007"_s, u"www/DV"_s},
        {u"  /a/b/c/  "_s, u"a"_s, u"b"_s, u"c"_s, {}},
        {u"bio/May_2007"_s, u"bio"_s, {}, u"May_2007"_s, {}},
        {u"//a/b/c//"_s, u"b"_s, u"c"_s, {}, u"/a"_s}, // one slash dropped at each end
        {u"/"_s, {}, {}, {}, {}},
    };
    for (const auto &c : cases) {
        const RemotePathParts parts = SplitRemotePath(c[0]);
        EXPECT_EQ(QStringList(
                      {parts.CourseName, parts.ArchiveName, parts.MonthFolder, parts.WebRootPath}),
                  QStringList({c[1], c[2], c[3], c[4]}))
            << c[0].toStdString();
    }
}

class LocalPaths : public VellixTest
{
protected:
    bool isFolder(const QString &relative) { return QFileInfo(homePath(relative)).isDir(); }
};

TEST_F(LocalPaths, WhatExistsIsAcceptedQuietlyAndAMissingFileIsNeverOfferedAsFolder)
{
    writeFile(homePath(u"Docs/a.txt"_s), "x");
    const std::pair<QString, bool> cases[] = {
        {u"h:\\Docs\\a.txt"_s, true}, {u"h:\\docs\\A.TXT"_s, true}, {u"h:\\Docs"_s, true},
        {u"h:\\Docs\\"_s, true},      {u"h:\\nope.txt"_s, false},   {u"h:\\newfolder"_s, false},
    };
    for (const auto &[path, accepted] : cases) {
        ui().clear();
        ui().setMousePointer(Ui::Pointer::Hourglass);
        EXPECT_EQ(CheckLocalPath(path), accepted) << path.toStdString();
        QList<SeenBox> reported;
        if (!accepted)
            reported = {{u"The file: '%1' doesn't exist on the local computer."_s.arg(path),
                         u"Bad File Name"_s, Ui::Icon::Critical}};
        EXPECT_EQ(seen(ui().boxes()), reported);
    }
    EXPECT_FALSE(isFolder(u"newfolder"_s));
}

TEST_F(LocalPaths, MissingFolderIsCreatedOnlyWhenTheUserAgrees)
{
    const QString path = u"h:\\new\\deeper\\last\\"_s;
    ui().setMousePointer(Ui::Pointer::Hourglass);
    ui().answer(Ui::Answer::No);
    EXPECT_FALSE(CheckLocalPath(path));
    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"The folder: '%1' doesn't exist on the local computer.\r\n"
                               "Do you want to create this folder?"_s.arg(path),
                               u"Folder Doesn't Exist"_s, Ui::Icon::Question}}));

    ui().answer(Ui::Answer::Yes);
    EXPECT_TRUE(CheckLocalPath(path));
    EXPECT_TRUE(isFolder(u"new/deeper/last"_s));

    // Under a file no folder can be made: the user who asked for one is told.
    writeFile(homePath(u"file"_s), "x");
    ui().clear();
    ui().answer(Ui::Answer::Yes);
    EXPECT_FALSE(CheckLocalPath(u"h:\\file\\sub\\"_s));
    ASSERT_EQ(ui().boxes().size(), 2);
    EXPECT_EQ(ui().boxes().last().icon, Ui::Icon::Critical);
}

TEST_F(LocalPaths, CreateFolderPathCreatesUpToTheLastBackslash)
{
    const QString currentBefore = QDir::currentPath();
    QDir(homePath()).mkpath(u"Existing"_s);
    // path, created, the folder made and a name not made
    const std::tuple<QString, bool, QString, QString> cases[] = {
        {u"h:\\existing\\a\\b\\file.txt"_s, true, u"Existing/a/b"_s, u"Existing/a/b/file.txt"_s},
        {u"h:\\Existing\\"_s, true, u"Existing"_s, {}},
        {u"q:\\nodrive\\"_s, false, {}, u"nodrive"_s},
    };
    for (const auto &[path, ok, created, absent] : cases) {
        EXPECT_EQ(CreateFolderPath(path), ok) << path.toStdString();
        EXPECT_TRUE(created.isEmpty() || isFolder(created)) << path.toStdString();
        EXPECT_TRUE(absent.isEmpty() || !QFileInfo::exists(homePath(absent)));
    }
    EXPECT_EQ(QDir::currentPath(), currentBefore);
}

// TempFileName's pattern is checked where the viewer names its copy.
TEST_F(LocalPaths, DeleteIsQuietWhateverThePath)
{
    const QString file = writeFile(homePath(u"gone.txt"_s), "x");
    DeleteLocalFile(u"h:\\gone.txt"_s);
    EXPECT_FALSE(QFileInfo::exists(file));
    DeleteLocalFile(u"h:\\gone.txt"_s);
    DeleteLocalFile(u"q:\\nowhere\\x"_s);
    EXPECT_TRUE(ui().boxes().isEmpty());
}

TEST_F(LocalPaths, RegistryValuesAsText)
{
    writeFile(Platform::Registry::defaultPath(), R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\App Paths\Dovrelle.exe]
@="C:\\Program Files\\Dovrelle\\Dovrelle.exe"
"Count"=dword:ffffffff
"Blob"=hex:01,02
"Expand"=hex(2):25,00,41,00,25,00,5c,00,78,00,00,00
"Bare"="wordpad.exe"
)"_ba + "\"Fits\"=\"" + QByteArray(1023, 'f') + "\"\n\"Long\"=\"" +
                                                     QByteArray(1024, 'l') + "\"\n");
    const QString key = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrelle.exe"_s;
    const std::tuple<QString, bool, QString, QString> cases[] = {
        {QString(), true, u"C:\\Program Files\\Dovrelle\\Dovrelle.exe"_s,
         u"C:\\Program Files\\Dovrelle\\"_s},
        {u"Count"_s, true, u"4294967295"_s, {}},
        {u"Blob"_s, true, {}, {}},
        {u"Expand"_s, true, u"%A%\\x"_s, u"%A%\\"_s}, // not expanded
        {u"Bare"_s, true, u"wordpad.exe"_s, {}},
        {u"Fits"_s, true, QString(1023, u'f'), {}}, // 1024 bytes with its NUL
        {u"Long"_s, false, {}, {}},
        {u"Missing"_s, false, {}, {}},
    };
    // value name, found, its text, the folder of the program it names
    for (const auto &[name, ok, expectedText, folder] : cases) {
        QString text = u"stale"_s;
        EXPECT_EQ(ReadRegistryValue(Platform::RootKey::LocalMachine, key, name, text), ok)
            << name.toStdString();
        EXPECT_EQ(text, expectedText) << name.toStdString();
        EXPECT_EQ(ReadAppFolder(Platform::RootKey::LocalMachine, key, name), folder);
    }
}
