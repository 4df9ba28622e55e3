#pragma once

#include <QString>
#include <QStringView>

// Matching of the patterns that callers hand to a server folder search ("*", "*.htm",
// "my?file.txt"). The client matches them itself against the names of a listing, because
// servers disagree on globbing in LIST and MLSD does not glob at all.
namespace Ftp::Wildcard {

// A search split at its last '/' into the folder it looks in and the pattern of the names:
// "sub/a?c" gives "sub" and "a?c", "/a*" gives "/" and "a*", and "a*" gives no folder (the
// current one) and "a*".
struct Search
{
    QString folder;
    QString names;
};
Search split(const QString &search);

// True when the pattern holds '*' or '?'.
bool hasWildcards(QStringView pattern);

// True when the whole name matches the pattern: '*' stands for any run of characters (also
// none), '?' for exactly one character (a character outside the BMP counts as one); all other
// characters match only themselves, case-sensitively, as server names are compared.
// Runs without recursion and without backtracking beyond the last '*', so patterns such as
// "a*a*a*a*b" cost at most name length times pattern length.
bool matches(QStringView pattern, QStringView name);

} // namespace Ftp::Wildcard
