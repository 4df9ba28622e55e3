// What a page in the viewer may load from the disk: its own folder and below, without hidden
// files, the control's own files or the places that links inside lead to.

#include "support/VellixTest.h"

#include "operations/ViewScope.h"
#include "platform/Prefix.h"

#include <QFile>

using namespace Qt::StringLiterals;

TEST_F(VellixTest, ViewScopeHoldsThePageFolderAndNothingElse)
{
    const QString pages = homePath(u"my pages/"_s);
    const QString driveC = Platform::Prefix::path(u"drive_c/"_s);
    const QString ini = writeFile(Platform::Prefix::windowsFolder() + u"/Dovrelle.ini"_s, "x");
    for (const QString &file : {u"lesson 1.htm"_s, u"style.css"_s, u"lesson 1_files/a.png"_s,
                                u"images/deep/b.png"_s, u".hidden.css"_s, u".git/config"_s})
        writeFile(pages + file, "x");
    writeFile(homePath(u"my pages2/x.css"_s), "x");
    writeFile(homePath(u"secret.txt"_s), "x");
    QFile::link(homePath(u"secret.txt"_s), pages + u"out.txt"_s);
    QFile::link(homePath(), pages + u"up"_s);
    QFile::link(ini, pages + u"ini.txt"_s);
    writeFile(driveC + u"page.htm"_s, "x");
    writeFile(driveC + u"Program Files/Dovrelle/logo.gif"_s, "x");
    writeFile(Platform::Prefix::path(u"page.htm"_s), "x");
    writeFile(Platform::Prefix::path(u"host.ini"_s), "x");

    // A page in a folder of the user's sees its folder and below, nothing hidden, nothing a
    // link leads out to.
    const ViewScope lesson(pages + u"lesson 1.htm"_s);
    for (const QString &file : {u"lesson 1.htm"_s, u"style.css"_s, u"lesson 1_files/a.png"_s,
                                u"images/deep/b.png"_s, u"images/../style.css"_s})
        EXPECT_TRUE(lesson.allows(pages + file)) << file.toStdString();
    for (const QString &file :
         {u"missing.css"_s, u"../secret.txt"_s, u"../my pages2/x.css"_s, u".hidden.css"_s,
          u".git/config"_s, u"out.txt"_s, u"up/secret.txt"_s, u"ini.txt"_s})
        EXPECT_FALSE(lesson.allows(pages + file)) << file.toStdString();

    const std::tuple<QString, QString, bool> cases[] = {
        {pages + u"lesson 1.htm"_s, u"/etc/passwd"_s, false},
        // A page of the prefix's drive C sees the drive, but not the Windows directory.
        {driveC + u"page.htm"_s, driveC + u"Program Files/Dovrelle/logo.gif"_s, true},
        {driveC + u"page.htm"_s, ini, false},
        // A page in the prefix itself sees drive C only.
        {Platform::Prefix::path(u"page.htm"_s), Platform::Prefix::path(u"host.ini"_s), false},
        {Platform::Prefix::path(u"page.htm"_s), driveC + u"page.htm"_s, true},
        // A file the user chose is shown wherever it is.
        {pages + u".hidden.css"_s, pages + u".hidden.css"_s, true},
        {QString(), pages + u"lesson 1.htm"_s, false},
    };
    for (const auto &[page, file, allowed] : cases) {
        SCOPED_TRACE((page + u" -> "_s + file).toStdString());
        const ViewScope scope = page.isEmpty() ? ViewScope() : ViewScope(page);
        EXPECT_EQ(scope.allows(file), allowed);
    }
}
