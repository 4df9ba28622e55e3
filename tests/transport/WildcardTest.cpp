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
        const char *name;
        bool matches;
    } cases[] = {
        {"*", "index.htm", true},
        {"*", "", true},
        {"*", " ", true},
        {"?", "a", true},
        {"?", "", false},
        {"?", "ab", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c", "abbc", false},
        {"*.htm", "index.htm", true},
        {"*.htm", ".htm", true},
        {"*.htm", "index.html", false},
        {"*.htm", "index.HTM", false},
        {"*.htm", "index.htm.bak", false},
        {"my?file.txt", "my file.txt", true},
        {"my?file.txt", "myfile.txt", false},
        {"index.htm", "index.htm", true},
        {"index.htm", "Index.htm", false},
        {"index.htm", "index.htmx", false},
        {"*.*", "README", false},
        {"*.*", "a.b", true},
        {"a*b*c", "abc", true},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyycz", false},
        {"a*b*c", "acb", false},
        {"*ab", "aab", true},
        {"*ab", "abab", true},
        {"*a?", "ba", false},
        {"**", "x", true},
        {"*?*", "", false},
        {"*?*", "x", true},
        {"??*", "x", false},
        {"", "", true},
        {"", "a", false},
        {"lesson ?.pdf", "lesson 1.pdf", true},
        {"?.pdf", "\xf0\x9f\x93\x9a.pdf", true}, // one character outside the BMP
        {"caf?.htm", "caf\xc3\xa9.htm", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(Wildcard::matches(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)),
                  c.matches);
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
    EXPECT_TRUE(Wildcard::hasWildcards(u"*"_s));
    EXPECT_TRUE(Wildcard::hasWildcards(u"my?file.txt"_s));
    EXPECT_TRUE(Wildcard::hasWildcards(u"*.htm"_s));
    EXPECT_FALSE(Wildcard::hasWildcards(u"index.htm"_s));
    EXPECT_FALSE(Wildcard::hasWildcards(u"[ab].htm"_s));
    EXPECT_FALSE(Wildcard::hasWildcards({}));
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
