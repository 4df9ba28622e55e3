#include "course/CataloguePage.h"

#include "course/CatalogueText.h"
#include "platform/PartialName.h"
#include "transport/cDirList.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// An ampersand as the page writes it, so that names survive both HTML and the XSL copy.
const QString Ampersand = u"&"_s;
const QString AmpersandReference = u"&#38;"_s;

} // namespace

CataloguePage::CataloguePage(const CatalogueTexts &texts)
{
    AppendHead(texts);
    CatalogueHtml.replace(Ampersand, AmpersandReference);
    CatalogueHtml += uR"(<div id="main">)"_s;
    CatalogueHtml += uR"(<table border="0"><tr valign="top">)"_s;
}

void CataloguePage::AppendHead(const CatalogueTexts &texts)
{
    const QStringList head = {
        uR"(<html><head>)"_s,
        uR"(<title>)"_s,
        texts.title,
        uR"(</title>)"_s,
        uR"(<meta name="author" content="Halvern"></meta>)"_s,
        uR"(<meta name="description" content="Halvern Dovrelle"></meta>)"_s,
        uR"(<meta name="copyright" content=")"_s + texts.copyright + uR"("></meta>)"_s,
        uR"(<meta name="robots" content="none"></meta>)"_s,
        uR"(<meta name="googlebot" content="noarchive"></meta>)"_s,
        uR"(<meta http-equiv="cache-control" content="no-cache"></meta>)"_s,
        uR"(<meta http-equiv="pragma" content="no-cache"></meta>)"_s,
        uR"(<meta http-equiv="expires" content="-1"></meta>)"_s,
        uR"(</head>)"_s,
        uR"(<link rel="stylesheet" type="text/css" href="archive.css"/>)"_s,
        uR"(<body class="desktop" onLoad="startUp();">)"_s,
        uR"(<script>var width = screen.width;)"_s,
        uR"(var height = screen.height - 60;)"_s,
        uR"(var winFeatures = "width="+width+",height="+ height+",menubar=no,toolbar=no,"+"location=no,status=no,scrollbars=yes,left=0,top=0";)"_s,
        uR"(function doPopup(p){)"_s,
        uR"(if(document.f1.sp.checked){)"_s,
        uR"(  setCookie("HVDovrellePopup","1", "/");)"_s,
        uR"(  window.open(p, 'pop_pageL', winFeatures);)"_s,
        uR"(})"_s,
        uR"(else{)"_s,
        uR"(  setCookie("HVDovrellePopup","0", "/");)"_s,
        uR"( location.href = p;)"_s,
        uR"(})"_s,
        uR"(})"_s,
    };
    CatalogueHtml += head.join(QString());
    AppendCookieScript();
    const QStringList banner = {
        uR"(</script>)"_s,
        uR"(<div class="headertop"><table width="800" height="45" background="title1.jpg"><tr><td></td></tr></table>)"_s,
        uR"(</div>)"_s,
        texts.heading,
        uR"(</div>)"_s,
        uR"(<span id="main_title" class="main_title">)"_s,
        texts.heading,
        uR"(</span>)"_s,
        uR"(<span id="cpl">)"_s,
        uR"(<table cellpadding="0" cellspacing="0" valign="top" id="popup" width="38" height="38" border="0" background="../../images/popup.gif" style="background-repeat:no-repeat;">)"_s,
        uR"(  <tr>)"_s,
        uR"(    <td valign="top" align="center">)"_s,
        uR"(      <form name="f1">)"_s,
        uR"(        <input type="checkbox" id="sp" checked="1"/>)"_s,
        uR"(      </form>)"_s,
        uR"(    </td>)"_s,
        uR"(   </tr>)"_s,
        uR"(</table>)"_s,
        uR"(</span>)"_s,
        uR"(<div id="title"></div>)"_s,
        uR"(<div class="titleth">)"_s,
        texts.title,
        uR"(<span class="insth">)"_s,
        texts.teacherName,
        uR"(</span>)"_s,
        uR"(</div>)"_s,
        uR"(<div class="titlet">)"_s,
        texts.title,
        uR"(<span class="inst">)"_s,
        texts.teacherName,
        uR"(</span>)"_s,
        uR"(</div>)"_s,
        uR"(<div id="s_icn">)"_s,
        uR"(<table border="0" width="64" height="64"><tr><td><img src="logo.gif" border="0"/></td></tr>)"_s,
        uR"(</table>)"_s,
        uR"(</div>)"_s,
    };
    CatalogueHtml += banner.join(QString());
}

// The script that keeps the reader's choice of pop-up windows for six months.
void CataloguePage::AppendCookieScript()
{
    const QStringList script = {
        uR"(function setCookie(cName, cVal, cPath, cExpire){)"_s,
        uR"(if(setCookie.arguments.length == 2){)"_s,
        uR"(  cPath = "";)"_s,
        uR"(  cExpire = "";)"_s,
        uR"(})"_s,
        uR"(else if(setCookie.arguments.length == 3){)"_s,
        uR"(  cExpire = "";)"_s,
        uR"(})"_s,
        uR"(cVal = escape(cVal);)"_s,
        uR"(if(cExpire == ""){)"_s,
        uR"(    var nDate = new Date();)"_s,
        uR"(    nDate.setMonth(nDate.getMonth() + 6);)"_s,
        uR"(    cExpire = nDate.toGMTString();)"_s,
        uR"(  })"_s,
        uR"(if (cPath != ""){)"_s,
        uR"(cPath = ";Path=" + cPath;)"_s,
        uR"(})"_s,
        uR"(  document.cookie = cName + "=" + cVal + ";expires=" + cExpire + cPath;)"_s,
        uR"(})"_s,
        uR"(function getCookie(cName){)"_s,
        uR"(  var cValue = document.cookie;)"_s,
        uR"(  var cStartPos = cValue.lastIndexOf(" " + cName + "=");)"_s,
        uR"(  if (cStartPos == -1){)"_s,
        uR"(    cStartPos = cValue.indexOf(cName + "=");)"_s,
        uR"(  })"_s,
        uR"(  if (cStartPos == -1){)"_s,
        uR"(    cValue = null;)"_s,
        uR"(  })"_s,
        uR"(  else{)"_s,
        uR"(    cStartPos = cValue.indexOf("=", cStartPos) + 1;)"_s,
        uR"(    var cEndPos = cValue.indexOf(";", cStartPos);)"_s,
        uR"(    if(cEndPos == -1){)"_s,
        uR"(      cEndPos = cValue.length;)"_s,
        uR"(    })"_s,
        uR"(    cValue = unescape(cValue.substring(cStartPos, cEndPos));)"_s,
        uR"(  })"_s,
        uR"(  return cValue;)"_s,
        uR"(})"_s,
        uR"(function startUp(){)"_s,
        uR"(  if (getCookie("HVDovrellePopup") == "0"){)"_s,
        uR"(    document.f1.sp.checked = false;)"_s,
        uR"(  })"_s,
        uR"(  else{)"_s,
        uR"(    document.f1.sp.checked = true;)"_s,
        uR"(  })"_s,
        uR"(})"_s,
    };
    CatalogueHtml += script.join(QString());
}

void CataloguePage::AppendColumn(const QString &folder, const cDirList *listing)
{
    if (m_finished)
        return;
    CatalogueHtml += uR"(<td><div class="hdr">)"_s + DisplayName(PageText(folder)) + u"</div>"_s;
    if (listing && listing->Count() > 0) {
        CatalogueHtml += uR"(<div class="li">)"_s;
        CatalogueHtml += uR"(<table border="0" cellpadding="0" cellspacing="0" valign="top">)"_s;
        AppendFileRows(*listing, folder);
        CatalogueHtml += u"</table></div>"_s;
    }
    CatalogueHtml += u"</td>"_s;
}

// One linked row per file, in the order of the listing; folders get none. The link is
// relative to the archive folder. A name is page text wherever it stands, so that whoever may
// put files on the server cannot put markup or script into the archive's page.
void CataloguePage::AppendFileRows(const cDirList &listing, const QString &folder)
{
    for (const cDirItem &entry : listing) {
        // An upload's temporary file is published nowhere.
        if (entry.Directory || PartialName::isPartialName(entry.Filename))
            continue;
        const QString name = PageText(entry.Filename);
        CatalogueHtml += uR"(<tr><td id="li"><span id="icn"><img src=")"_s;
        CatalogueHtml += FileIconPath(entry.Filename);
        CatalogueHtml += uR"("/></span><a href="#" onClick="doPopup(')"_s;
        CatalogueHtml += ScriptQuote(PageText(LinkPath(folder + u'/' + entry.Filename)));
        CatalogueHtml += uR"(');">)"_s;
        CatalogueHtml += DisplayName(name);
        CatalogueHtml += u"</a></td></tr>"_s;
    }
}

QString CataloguePage::Finish()
{
    if (!m_finished) {
        const QStringList end = {
            u"</tr></table>"_s,
            u"</div>"_s,
            u"</body>"_s,
            uR"(<head><meta http-equiv="pragma" content="no-cache"></meta>)"_s,
            uR"(<meta http-equiv="expires" content="-1"></meta></head>)"_s,
            u"</html>"_s,
        };
        CatalogueHtml += end.join(QString());
        m_finished = true;
    }
    return CatalogueHtml;
}
