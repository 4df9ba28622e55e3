#include "course/CatalogueText.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The whole number a stored setting holds; 0 when it holds none. Far beyond any month or year
// it is cut short, so that the arithmetic on it stays in range.
int numberOf(const QString &setting)
{
    constexpr double Limit = 1e6;
    const double value = setting.trimmed().toDouble();
    return std::isfinite(value) ? int(std::floor(std::clamp(value, -Limit, Limit))) : 0;
}

// A month index with two digits, the way the period keys are written ("00" ... "11", "-01").
QString twoDigits(int number)
{
    const QString digits = QString::number(std::abs(number)).rightJustified(2, u'0');
    return number < 0 ? u'-' + digits : digits;
}

// The text with every character that has a replacement written as it, in one pass, so that no
// replacement is replaced again.
QString replacingEach(const QString &text,
                      std::initializer_list<std::pair<QChar, QLatin1StringView>> replacements)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const auto found =
            std::find_if(replacements.begin(), replacements.end(),
                         [c](const auto &replacement) { return replacement.first == c; });
        if (found != replacements.end())
            result += found->second;
        else
            result += c;
    }
    return result;
}

} // namespace

const std::array<QString, 12> &MonthNames()
{
    static const std::array<QString, 12> names = {
        u"January"_s, u"February"_s, u"March"_s,     u"April"_s,   u"May"_s,      u"June"_s,
        u"July"_s,    u"August"_s,   u"September"_s, u"October"_s, u"November"_s, u"December"_s,
    };
    return names;
}

QString DisplayName(const QString &text)
{
    return QString(text).replace(u'_', u' ');
}

QString ScriptQuote(const QString &text)
{
    return QString(text).replace(u"'"_s, u"\\'"_s);
}

QString PageText(const QString &text)
{
    return replacingEach(
        text, {{u'&', "&#38;"_L1}, {u'<', "&#60;"_L1}, {u'>', "&#62;"_L1}, {u'"', "&#34;"_L1}});
}

QString LinkPath(const QString &path)
{
    return replacingEach(path,
                         {{u'%', "%25"_L1}, {u'#', "%23"_L1}, {u'?', "%3F"_L1}, {u'\\', "%5C"_L1}});
}

QString TitleCase(const QString &text)
{
    QString result;
    result.reserve(text.size());
    bool startOfWord = true;
    for (const QChar c : text) {
        if (c == u' ') {
            result += c;
            startOfWord = true;
        } else {
            result += startOfWord ? c.toUpper() : c;
            startOfWord = false;
        }
    }
    return result;
}

QString FileIconPath(const QString &fileName)
{
    // Each known extension between dots, so that a whole extension must match.
    static const QString knownTypes =
        u".htm.html.bmp.pdf.doc.txt.jpg.gif.png.ppt.xml.wav.asf.avi.exe.swf.mid.xls.zip."_s;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString extension = fileName.mid(dot).toLower();
    if (!knownTypes.contains(extension + u'.'))
        return u"../../images/icn_fil.gif"_s;
    return u"../../images/icn_"_s + extension.mid(1, 3) + u".gif"_s;
}

QStringList CatalogueMonthFolders(const QString &startMonth, const QString &startYear,
                                  const QString &endMonth, const QString &endYear)
{
    // Keys are the year followed by the month index, compared as texts.
    const QString endKey = endYear + twoDigits(numberOf(endMonth) - 1);
    QString year = startYear;
    int offset = numberOf(startMonth) - 1;
    QStringList folders;
    for (int k = 0; k < 12; ++k) {
        int index = k + offset;
        QString indexText = twoDigits(index);
        if (indexText > u"11"_s) {
            year = QString::number(numberOf(year) + 1);
            offset -= 12;
            index = 0;
            indexText = u"00"_s;
        }
        if (index >= 0 && index <= 11)
            folders << MonthNames().at(index) + u'_' + year;
        if (year + indexText >= endKey)
            break;
    }
    return folders;
}
