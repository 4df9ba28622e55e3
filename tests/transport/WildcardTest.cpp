#include "support/VellixTest.h"

#include "transport/Wildcard.h"

#include <array>

using namespace Qt::StringLiterals;
using namespace Ftp;

TEST_F(VellixTest, WildcardMatchesWholeNamesCaseSensitively)
{
    const struct
    {
        const char *pattern;
        QStringList matched;
        QStringList missed;
    } cases[] = {
        {"*", {u"index.htm"_s, u""_s, u" "_s}, {}},
        {"?", {u"a"_s}, {u""_s, u"ab"_s}},
        {"a?c", {u"abc"_s}, {u"ac"_s, u"abbc"_s}},
        {"*.htm",
         {u"index.htm"_s, u".htm"_s},
         {u"index.html"_s, u"index.HTM"_s, u"index.htm.bak"_s}},
        {"my?file.txt", {u"my file.txt"_s}, {u"myfile.txt"_s}},
        {"index.htm", {u"index.htm"_s}, {u"Index.htm"_s, u"index.htmx"_s}},
        {"*.*", {u"a.b"_s}, {u"README"_s}},
        {"a*b*c", {u"abc"_s, u"axxbyyc"_s}, {u"axxbyycz"_s, u"acb"_s}},
        {"*ab", {u"aab"_s, u"abab"_s}, {}},
        {"*a?", {}, {u"ba"_s}},
        {"**", {u"x"_s}, {}},
        {"*?*", {u"x"_s}, {u""_s}},
        {"??*", {}, {u"x"_s}},
        {"", {u""_s}, {u"a"_s}},
        {"?.pdf", {u"📚.pdf"_s}, {}}, // one character outside the BMP
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern);
        const QString pattern = QString::fromUtf8(c.pattern);
        for (const QString &name : c.matched)
            EXPECT_TRUE(Wildcard::matches(pattern, name)) << name.toStdString();
        for (const QString &name : c.missed)
            EXPECT_FALSE(Wildcard::matches(pattern, name)) << name.toStdString();
    }
}

TEST_F(VellixTest, WildcardFailsFastOnPatternsThatBlowUpBacktracking)
{
    // A matcher that backtracks into every star would not finish these in our lifetime.
    const QString name = QString(200, QLatin1Char('a'));
    EXPECT_FALSE(Wildcard::matches(u"a*a*a*a*a*a*a*a*a*a*a*a*b"_s, name));
    EXPECT_TRUE(Wildcard::matches(u"a*a*a*a*a*a*a*a*a*a*a*a*a"_s, name));
    EXPECT_FALSE(Wildcard::matches(QString(100, QLatin1Char('*')) + QLatin1Char('b'), name));
}

TEST_F(VellixTest, WildcardKnowsItsCharacters)
{
    for (const QString &pattern : {u"*"_s, u"my?file.txt"_s, u"*.htm"_s})
        EXPECT_TRUE(Wildcard::hasWildcards(pattern)) << pattern.toStdString();
    for (const QString &name : {u"index.htm"_s, u"[ab].htm"_s, QString()})
        EXPECT_FALSE(Wildcard::hasWildcards(name)) << name.toStdString();
}

TEST_F(VellixTest, WildcardSplitsASearchIntoFolderAndNames)
{
    const std::array<std::array<const char *, 3>, 5> cases{{
        {"sub/a?c", "sub", "a?c"},
        {"/a*", "/", "a*"},
        {"a*", "", "a*"},
        {"/x/y/", "/x/y", ""},
        {"", "", ""},
    }};
    for (const auto &[search, folder, names] : cases) {
        const Wildcard::Search split = Wildcard::split(QString::fromUtf8(search));
        EXPECT_EQ(split.folder, QString::fromUtf8(folder)) << search;
        EXPECT_EQ(split.names, QString::fromUtf8(names)) << search;
    }
}
