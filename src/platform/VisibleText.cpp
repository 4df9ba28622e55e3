#include "platform/VisibleText.h"

#include <utility>

namespace Platform::VisibleText {

namespace {

QString escape(char32_t c)
{
    const QString hex = QString::number(uint(c), 16);
    if (QChar::category(c) == QChar::Other_Control)
        return QStringLiteral("\\x") + hex.rightJustified(2, u'0');
    return QStringLiteral("\\u{") + hex.toUpper().rightJustified(4, u'0') + u'}';
}

// The code point at i and how many UTF-16 units it takes; a lone surrogate is one of its own.
std::pair<char32_t, qsizetype> codePointAt(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text.at(i + 1)), 2};
    return {c.unicode(), 1};
}

} // namespace

bool isHidden(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString escaped(const QString &text)
{
    QString shown;
    qsizetype copied = 0; // the text before this is in `shown` already
    for (qsizetype i = 0; i < text.size();) {
        const auto [c, length] = codePointAt(text, i);
        if (isHidden(c)) {
            shown += QStringView(text).sliced(copied, i - copied);
            shown += escape(c);
            copied = i + length;
        }
        i += length;
    }
    // Most names hold nothing hidden: they come back shared, not copied.
    if (copied == 0)
        return text;
    shown += QStringView(text).sliced(copied);
    return shown;
}

} // namespace Platform::VisibleText
