// The catalogue page text without a server: the name rules and the exact bytes of a page.

#include "support/VellixTest.h"

#include "course/CataloguePage.h"
#include "course/CatalogueText.h"
#include "transport/cDirList.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 FolderAttribute = 0x10;
constexpr qint32 FileAttribute = 0x20;

// The page of a spring archive: the part before the columns, the columns of the listings that
// CataloguePageTest.ExactPage builds, and the end.
const QString ExpectedHead =
    uR"(<html><head><title>Spring Term Archive - smith</title><meta name="author" content="Halvern">)"
    uR"(</meta><meta name="description" content="Halvern Dovrelle"></meta>)"
    uR"(<meta name="copyright" content="Copyright (C) 2026 Vellixon">)"
    uR"(</meta><meta name="robots" content="none"></meta><meta name="googlebot" content="noarchive">)"
    uR"(</meta><meta http-equiv="cache-control" content="no-cache"></meta>)"
    uR"(<meta http-equiv="pragma" content="no-cache"></meta><meta http-equiv="expires" content="-1">)"
    uR"(</meta></head><link rel="stylesheet" type="text/css" href="archive.css"/>)"
    uR"(<body class="desktop" onLoad="startUp();"><script>var width = screen.width;)"
    uR"(var height = screen.height - 60;var winFeatures = "width="+width+",height="+ height+",menubar=no,toolbar=no,"+"location=no,status=no,scrollbars=yes,left=0,top=0";)"
    uR"(function doPopup(p){if(document.f1.sp.checked){  setCookie("HVDovrellePopup","1", "/");)"
    uR"(  window.open(p, 'pop_pageL', winFeatures);}else{  setCookie("HVDovrellePopup","0", "/");)"
    uR"( location.href = p;}}function setCookie(cName, cVal, cPath, cExpire){)"
    uR"(if(setCookie.arguments.length == 2){  cPath = "";  cExpire = "";)"
    uR"(}else if(setCookie.arguments.length == 3){  cExpire = "";}cVal = escape(cVal);)"
    uR"(if(cExpire == ""){    var nDate = new Date();    nDate.setMonth(nDate.getMonth() + 6);)"
    uR"(    cExpire = nDate.toGMTString();  }if (cPath != ""){cPath = ";)"
    uR"(Path=" + cPath;}  document.cookie = cName + "=" + cVal + ";expires=" + cExpire + cPath;)"
    uR"(}function getCookie(cName){  var cValue = document.cookie;  var cStartPos = cValue.lastIndexOf(" " + cName + "=");)"
    uR"(  if (cStartPos == -1){    cStartPos = cValue.indexOf(cName + "=");)"
    uR"(  }  if (cStartPos == -1){    cValue = null;  }  else{    cStartPos = cValue.indexOf("=", cStartPos) + 1;)"
    uR"(    var cEndPos = cValue.indexOf(";", cStartPos);    if(cEndPos == -1){)"
    uR"(      cEndPos = cValue.length;    }    cValue = unescape(cValue.substring(cStartPos, cEndPos));)"
    uR"(  }  return cValue;}function startUp(){  if (getCookie("HVDovrellePopup") == "0"){)"
    uR"(    document.f1.sp.checked = false;  }  else{    document.f1.sp.checked = true;)"
    uR"(  }}</script><div class="headertop"><table width="800" height="45" background="title1.jpg">)"
    uR"(<tr><td></td></tr></table></div>Hill &#38; Dale School - MATH</div>)"
    uR"(<span id="main_title" class="main_title">Hill &#38; Dale School - MATH</span>)"
    uR"(<span id="cpl"><table cellpadding="0" cellspacing="0" valign="top" id="popup" width="38" height="38" border="0" background="../../images/popup.gif" style="background-repeat:no-repeat;)"
    uR"(">  <tr>    <td valign="top" align="center">      <form name="f1">)"
    uR"(        <input type="checkbox" id="sp" checked="1"/>      </form>)"
    uR"(    </td>   </tr></table></span><div id="title"></div><div class="titleth">)"
    uR"(Spring Term Archive - smith<span class="insth">Ms O'Neil &#38;)"
    uR"( Co</span></div><div class="titlet">Spring Term Archive - smith<span class="inst">)"
    uR"(Ms O'Neil &#38; Co</span></div><div id="s_icn"><table border="0" width="64" height="64">)"
    uR"(<tr><td><img src="logo.gif" border="0"/></td></tr></table></div>)"
    uR"(<div id="main"><table border="0"><tr valign="top">)"
    ""_s;

const QString ExpectedColumns =
    uR"(<td><div class="hdr">March 2007</div><div class="li"><table border="0" cellpadding="0" cellspacing="0" valign="top">)"
    uR"(<tr><td id="li"><span id="icn"><img src="../../images/icn_doc.gif"/>)"
    uR"(</span><a href="#" onClick="doPopup('March_2007/a&#38;b_c.doc');)"
    uR"(">a&#38;b c.doc</a></td></tr><tr><td id="li"><span id="icn">)"
    uR"(<img src="../../images/icn_txt.gif"/></span><a href="#" onClick="doPopup('March_2007/it\'s.txt');)"
    uR"(">it's.txt</a></td></tr><tr><td id="li"><span id="icn"><img src=""/>)"
    uR"(</span><a href="#" onClick="doPopup('March_2007/README');">README</a>)"
    uR"(</td></tr><tr><td id="li"><span id="icn"><img src="../../images/icn_htm.gif"/>)"
    uR"(</span><a href="#" onClick="doPopup('March_2007/Notes.HTML');)"
    uR"(">Notes.HTML</a></td></tr><tr><td id="li"><span id="icn"><img src="../../images/icn_fil.gif"/>)"
    uR"(</span><a href="#" onClick="doPopup('March_2007/pack.rar');">)"
    uR"(pack.rar</a></td></tr></table></div></td><td><div class="hdr">)"
    uR"(April 2007</div></td><td><div class="hdr">May 2007</div><div class="li">)"
    uR"(<table border="0" cellpadding="0" cellspacing="0" valign="top">)"
    uR"(</table></div></td><td><div class="hdr">June 2007</div></td>)"
    ""_s;

const QString ExpectedEnd =
    uR"(</tr></table></div></body><head><meta http-equiv="pragma" content="no-cache">)"
    uR"(</meta><meta http-equiv="expires" content="-1"></meta></head>)"
    uR"(</html>)"
    ""_s;

void addFile(cDirList &list, const QString &name)
{
    list.Add(FileAttribute, 0, 0, 0, 10, name);
}

void addFolder(cDirList &list, const QString &name)
{
    list.Add(FolderAttribute, 0, 0, 0, 0, name);
}

CatalogueTexts springTexts()
{
    return {u"Spring Term Archive - smith"_s, u"Hill & Dale School - MATH"_s, u"Ms O'Neil & Co"_s,
            u"Copyright (C) 2026 Vellixon"_s};
}

} // namespace

TEST(CatalogueTextTest, TitleCaseRaisesTheFirstCharacterOfEveryWord)
{
    const std::tuple<QString, QString> cases[] = {
        {u"spring term"_s, u"Spring Term"_s},
        {u"spring  term"_s, u"Spring  Term"_s},
        {u" spring"_s, u" Spring"_s},
        {u"sPRING tERM"_s, u"SPRING TERM"_s},
        {u"o'neil-smith x"_s, u"O'neil-smith X"_s},
        {u"trailing "_s, u"Trailing "_s},
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
        // Only a whole extension counts: ".ht" and ".html5" are not web pages.
        {u"x.ht"_s, u"../../images/icn_fil.gif"_s},
        {u"x.html5"_s, u"../../images/icn_fil.gif"_s},
        {u"x.ml"_s, u"../../images/icn_fil.gif"_s},
        {u"trailing."_s, u"../../images/icn_fil.gif"_s},
        {u"README"_s, QString()},
        {QString(), QString()},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(FileIconPath(name), expected) << name.toStdString();
}

TEST(CataloguePageTest, ExactPage)
{
    CataloguePage page(springTexts());
    cDirList march;
    addFile(march, u"a&b_c.doc"_s);
    addFolder(march, u"pictures"_s);
    addFile(march, u"it's.txt"_s);
    addFile(march, u"README"_s);
    addFile(march, u"Notes.HTML"_s);
    addFile(march, u"pack.rar"_s);
    // What a failed upload left behind is published nowhere.
    addFile(march, u".vellix-0a1b2c3d.part"_s);
    page.AppendColumn(u"March_2007"_s, &march);
    page.AppendColumn(u"April_2007"_s, nullptr);
    cDirList onlyFolders;
    addFolder(onlyFolders, u"sub"_s);
    page.AppendColumn(u"May_2007"_s, &onlyFolders);
    cDirList empty;
    page.AppendColumn(u"June_2007"_s, &empty);
    EXPECT_EQ(page.Finish(), ExpectedHead + ExpectedColumns + ExpectedEnd);
    // A finished page takes no more columns.
    page.AppendColumn(u"July_2007"_s, nullptr);
    EXPECT_EQ(page.Finish(), ExpectedHead + ExpectedColumns + ExpectedEnd);
}

TEST(CatalogueTextTest, MonthFoldersRunFromTheStartToTheEndMonth)
{
    const struct
    {
        const char *what, *startMonth, *startYear, *endMonth, *endYear;
        const char *folders; // separated by blanks
    } cases[] = {
        {"over the new year", "11", "2006", "2", "2007",
         "November_2006 December_2006 January_2007 February_2007"},
        {"one month", "5", "2007", "5", "2007", "May_2007"},
        {"an end before the start", "5", "2007", "2", "2007", "May_2007"},
        {"an end years before", "12", "2007", "1", "2001", "December_2007"},
        {"December to January", "12", "2006", "1", "2007", "December_2006 January_2007"},
        {"a whole year", "1", "2007", "12", "2007",
         "January_2007 February_2007 March_2007 April_2007 May_2007 June_2007 July_2007 "
         "August_2007 September_2007 October_2007 November_2007 December_2007"},
        // Never more than twelve columns, however far the end lies.
        {"an end years after", "3", "2007", "6", "2010",
         "March_2007 April_2007 May_2007 June_2007 July_2007 August_2007 September_2007 "
         "October_2007 November_2007 December_2007 January_2008 February_2008"},
        // Without a start month the walk begins with the month before January, which has no
        // folder; without an end the start month's key already reaches it.
        {"no start month", "", "2007", "2", "2007", "January_2007 February_2007"},
        {"no end", "4", "2007", "", "", "April_2007"},
        // A start month beyond December rolls over into January of the next year.
        {"start month 13", "13", "2006", "1", "2007", "January_2007"},
        {"an end month far out of range", "11", "2007", "99999999999", "2007",
         "November_2007 December_2007 January_2008"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CatalogueMonthFolders(
                      QString::fromLatin1(c.startMonth), QString::fromLatin1(c.startYear),
                      QString::fromLatin1(c.endMonth), QString::fromLatin1(c.endYear)),
                  QString::fromLatin1(c.folders).split(u' ', Qt::SkipEmptyParts))
            << c.what;
    }
}
