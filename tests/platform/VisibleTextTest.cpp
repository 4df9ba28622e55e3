#include "platform/VisibleText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(VisibleTextTest, HiddenCharactersAreWrittenOutAndTheRestStays)
{
    const std::pair<QString, QString> cases[] = {
        {u"lesson 1.pdf"_s, u"lesson 1.pdf"_s},
        // A bidi override that would show the name backwards.
        {u"invoice\u202Efdp.exe"_s, u"invoice\\u{202E}fdp.exe"_s},
        // Zero-width and invisible ones; the soft hyphen; the line and paragraph separators.
        {u"a\u200Bb\u200Cc\u200Dd\u2060e\u2064f\uFEFFg\u00ADh"_s,
         u"a\\u{200B}b\\u{200C}c\\u{200D}d\\u{2060}e\\u{2064}f\\u{FEFF}g\\u{00AD}h"_s},
        {u"one\u2028two\u2029"_s, u"one\\u{2028}two\\u{2029}"_s},
        // Control characters as a terminal escape would show them.
        {u"esc\x1b[31m\x7f\u0085.txt"_s, u"esc\\x1b[31m\\x7f\\x85.txt"_s},
        // Beyond the first plane: a tag character hides, an emoji shows; a lone surrogate is
        // no character at all.
        {u"x\U000E0041y\U0001F4DA"_s, u"x\\u{E0041}y\U0001F4DA"_s},
        {u"a"_s + QChar(0xD800) + u"b"_s, u"a\\u{D800}b"_s},
        // Letters of right-to-left scripts are not hidden: only the controls are.
        {u"\u05E9\u05DC\u05D5\u05DD.txt"_s, u"\u05E9\u05DC\u05D5\u05DD.txt"_s},
    };
    for (const auto &[name, shown] : cases) {
        SCOPED_TRACE(shown.toStdString());
        EXPECT_EQ(Platform::VisibleText::escaped(name), shown);
    }
}
