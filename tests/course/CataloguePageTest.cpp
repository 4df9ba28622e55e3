// The catalogue page text without a server: the name rules and the exact bytes of a page.

#include "support/VellixTest.h"

#include "course/CataloguePage.h"
#include "course/CatalogueText.h"
#include "transport/cDirList.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 FolderAttribute = 0x10;
constexpr qint32 FileAttribute = 0x20;

// A listing of the names given; a name ending in "/" is a folder.
void fill(cDirList &list, const QStringList &names)
{
    for (const QString &name : names) {
        if (name.endsWith(u'/'))
            list.Add(FolderAttribute, 0, 0, 0, 0, name.chopped(1));
        else
            list.Add(FileAttribute, 0, 0, 0, 10, name);
    }
}

} // namespace

TEST(CatalogueTextTest, TitleCaseRaisesTheFirstCharacterOfEveryWord)
{
    const std::tuple<QString, QString> cases[] = {
        {u"spring term"_s, u"Spring Term"_s},
        {u" spring"_s, u" Spring"_s},
        {u"sPRING tERM"_s, u"SPRING TERM"_s},
        {u"o'neil-smith x"_s, u"O'neil-smith X"_s},
        {u"été"_s, u"Été"_s},
        {QString(), QString()},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(TitleCase(text), expected) << text.toStdString();
}

TEST(CatalogueTextTest, FileIconPathFollowsTheExtensionAfterTheLastDot)
{
    const std::tuple<QString, QString> cases[] = {
        {u"lesson.doc"_s, u"../../images/icn_doc.gif"_s},
        {u"Notes.HTML"_s, u"../../images/icn_htm.gif"_s},
        {u"page.htm"_s, u"../../images/icn_htm.gif"_s},
        {u"a.b.PDF"_s, u"../../images/icn_pdf.gif"_s},
        {u"pack.rar"_s, u"../../images/icn_fil.gif"_s},
        // Only a whole extension counts: ".ht" and ".ml" are not web pages.
        {u"x.ht"_s, u"../../images/icn_fil.gif"_s},
        {u"x.ml"_s, u"../../images/icn_fil.gif"_s},
        {u"trailing."_s, u"../../images/icn_fil.gif"_s},
        {u"README"_s, QString()},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(FileIconPath(name), expected) << name.toStdString();
}

TEST(CataloguePageTest, ExactPage)
{
    CataloguePage page({u"Spring Term Archive - smith"_s, u"Hill & Dale School - MATH"_s,
                        u"Ms O'Neil & Co"_s, u"Copyright (C) 2026 Vellixon"_s});
    // What a failed upload left behind is published nowhere.
    cDirList march, onlyFolders, empty;
    fill(march, {u"a&b_c.doc"_s, u"pictures/"_s, u"it's.txt"_s, u"README"_s, u"Notes.HTML"_s,
                 u"pack.rar"_s, u".vellix-0a1b2c3d.part"_s});
    fill(onlyFolders, {u"sub/"_s});
    page.AppendColumn(u"March_2007"_s, &march);
    page.AppendColumn(u"April_2007"_s, nullptr);
    page.AppendColumn(u"May_2007"_s, &onlyFolders);
    page.AppendColumn(u"June_2007"_s, &empty);
    // The expected page, byte for byte; the file breaks it into lines at its tags, the page
    // itself has no line breaks.
    QFile file(QStringLiteral(VELLIX_COURSE_FIXTURES "/spring-archive.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString expected = QString::fromUtf8(file.readAll()).remove(u'\n');
    EXPECT_EQ(page.Finish(), expected);
    // A finished page takes no more columns.
    page.AppendColumn(u"July_2007"_s, nullptr);
    EXPECT_EQ(page.Finish(), expected);
}

TEST(CatalogueTextTest, MonthFoldersRunFromTheStartToTheEndMonth)
{
    // start month and year, end month and year: the folders, separated by blanks
    const std::array<const char *, 5> cases[] = {
        {"11", "2006", "2", "2007", "November_2006 December_2006 January_2007 February_2007"},
        {"5", "2007", "5", "2007", "May_2007"},
        {"5", "2007", "2", "2007", "May_2007"}, // an end before the start
        {"12", "2006", "1", "2007", "December_2006 January_2007"},
        {"1", "2007", "12", "2007",
         "January_2007 February_2007 March_2007 April_2007 May_2007 June_2007 July_2007 "
         "August_2007 September_2007 October_2007 November_2007 December_2007"},
        // Never more than twelve columns, however far the end lies.
        {"3", "2007", "6", "2010",
         "March_2007 April_2007 May_2007 June_2007 July_2007 August_2007 September_2007 "
         "October_2007 November_2007 December_2007 January_2008 February_2008"},
        // Without a start month the walk begins with the month before January, which has no
        // folder; without an end the start month's key already reaches it.
        {"", "2007", "2", "2007", "January_2007 February_2007"},
        {"4", "2007", "", "", "April_2007"},
        // A start month beyond December rolls over into January of the next year.
        {"13", "2006", "1", "2007", "January_2007"},
        {"11", "2007", "99999999999", "2007", "November_2007 December_2007 January_2008"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CatalogueMonthFolders(QString::fromLatin1(c[0]), QString::fromLatin1(c[1]),
                                        QString::fromLatin1(c[2]), QString::fromLatin1(c[3])),
                  QString::fromLatin1(c[4]).split(u' ', Qt::SkipEmptyParts))
            << c[0] << "/" << c[1] << " to " << c[2] << "/" << c[3];
    }
}

TEST(CataloguePageTest, NamesStayTextInTheirRow)
{
    // Whoever may put files on the server cannot put markup or script into the page, nor make
    // a link name another file. A file's name: its link argument and its shown text.
    const QString folder = u"Q&A_<1>"_s;
    const QString linkFolder = u"Q&#38;A_&#60;1&#62;/"_s;
    const std::tuple<QString, QString, QString> cases[] = {
        {u"<img src=x onerror=alert(1)>.txt"_s, u"&#60;img src=x onerror=alert(1)&#62;.txt"_s,
         u"&#60;img src=x onerror=alert(1)&#62;.txt"_s},
        {u"say \"hi\".txt"_s, u"say &#34;hi&#34;.txt"_s, u"say &#34;hi&#34;.txt"_s},
        {u"x\\');alert(1);//.txt"_s, u"x%5C\\');alert(1);//.txt"_s, u"x\\');alert(1);//.txt"_s},
        {u"50% #1?.txt"_s, u"50%25 %231%3F.txt"_s, u"50% #1?.txt"_s},
    };
    for (const auto &[name, link, text] : cases) {
        CataloguePage page({});
        cDirList listing;
        fill(listing, {name});
        page.AppendColumn(folder, &listing);
        const QString html = page.Finish();
        EXPECT_TRUE(html.contains(uR"(<div class="hdr">Q&#38;A &#60;1&#62;</div>)"_s));
        EXPECT_TRUE(
            html.contains(u"doPopup('"_s + linkFolder + link + u"');\">"_s + text + u"</a>"_s))
            << html.toStdString();
    }
}
