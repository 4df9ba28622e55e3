#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The text rules of the archive catalogue page: how folder and file names are shown, quoted
// for the page's script and given an icon.

// The month folder names ("January" ... "December"), index 0 for January.
const std::array<QString, 12> &MonthNames();

// The text with every "_" shown as a blank.
QString DisplayName(const QString &text);

// The text with every "'" escaped by a backslash, for a single-quoted script argument.
QString ScriptQuote(const QString &text);

// The text as page text that cannot open a tag or leave an attribute: "&", "<", ">" and '"'
// written as character references.
QString PageText(const QString &text);

// A server path as a link's relative address: "%", "#", "?" and "\" percent-encoded, so
// that a name holding them still names its own file (a browser reads "\" as "/"), and no
// backslash is left to escape the quote that ends the page script's argument.
QString LinkPath(const QString &path);

// The text with its first character, and the first character after every run of blanks, in
// upper case; everything else is kept as it is.
QString TitleCase(const QString &text);

// The page's icon for a file: by the extension after the last ".", the type's own icon for
// the known types (".html" shares the ".htm" one), the plain file icon for the others, and
// none for a name without a dot.
QString FileIconPath(const QString &fileName);

// The month folders of an archive period, in the order of its columns: from the start month
// on, rolling over into the next year after December, up to and including the end month and
// never more than twelve. Months and years are the stored texts ("11", "2006"); the start
// month always gets its column, even when the end lies before it.
QStringList CatalogueMonthFolders(const QString &startMonth, const QString &startYear,
                                  const QString &endMonth, const QString &endYear);
