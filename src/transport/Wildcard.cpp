#include "transport/Wildcard.h"

#include <QList>

namespace Ftp::Wildcard {

namespace {

constexpr char32_t AnyRun = U'*';
constexpr char32_t AnyOne = U'?';

} // namespace

Search split(const QString &search)
{
    const qsizetype slash = search.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QString(), search};
    return {slash == 0 ? QStringLiteral("/") : search.left(slash), search.mid(slash + 1)};
}

bool hasWildcards(QStringView pattern)
{
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
}

bool matches(QStringView pattern, QStringView name)
{
    // "*", the pattern of every whole listing, takes any name: no walk, no copies.
    if (pattern == QLatin1Char(AnyRun))
        return true;
    // Compared by code point, so that '?' takes a whole surrogate pair.
    const QList<uint> wanted = pattern.toUcs4();
    const QList<uint> text = name.toUcs4();

    // Greedy walk: a '*' first takes nothing; on a mismatch the last '*' takes one more
    // character and the walk resumes behind it. Earlier stars never need to give anything
    // back, because the last one can absorb whatever they would have.
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype lastStar = -1;
    qsizetype resumeAt = 0;
    while (t < text.size()) {
        if (p < wanted.size() && wanted[p] == AnyRun) {
            lastStar = p++;
            resumeAt = t;
        } else if (p < wanted.size() && (wanted[p] == AnyOne || wanted[p] == text[t])) {
            ++p;
            ++t;
        } else if (lastStar >= 0) {
            p = lastStar + 1;
            t = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < wanted.size() && wanted[p] == AnyRun)
        ++p;
    return p == wanted.size();
}

} // namespace Ftp::Wildcard
