#pragma once

#include <QByteArray>
#include <QString>

// The names around a web page and its companion folder: the folder of images and other parts
// that a browser saves next to a page under the page's name followed by "_files". Local
// paths are DOS paths with "\" separators, server paths use "/".
namespace PageNames {

// The extension after the last "." of the name's last component, lower-cased; empty when
// it has none.
QString extension(const QString &path);
// True when the extension is exactly "htm" (so "page.HTM" is a page, "page.html" is not).
bool isPage(const QString &path);
// The test of the secure forms: the last four characters, lower-cased, are ".htm".
bool isSecurePage(const QString &path);
// The path without its extension (and without the "." before it).
QString withoutExtension(const QString &path);

// The local companion folder of a page: "C:\web\a b.htm" gives "C:\web\a b_files".
QString localFolder(const QString &localPage);
// The companion folder's own name: "C:\web\a b.htm" (or "/web/a b.htm") gives "a b_files".
QString localFolderName(const QString &localPage);
// The server name of a local companion folder when uploading: its last component with
// blanks replaced by "_" and apostrophes removed.
QString uploadFolderName(const QString &localFolder);
// Whether a file of the companion folder stays behind when the page goes up: thumbnail
// databases ("Thumbs.db"), taken as any name holding ".db" in any case.
bool staysBehind(const QString &fileName);
// The server companion folder of a server page when deleting or downloading: "/x/a b.htm"
// gives "/x/a_b_files" (apostrophes stay).
QString serverFolder(const QString &remotePage);
// The name of the local folder a downloaded page's companion files go to: the server folder's
// own name, "/x/a b.htm" gives "a_b_files".
QString downloadFolderName(const QString &remotePage);
// The server folder a page lies in: the path up to its last "/"; the path itself when it
// holds no "/".
QString serverParent(const QString &remotePage);

// Makes a page's text name its companion folder by the folder's new name: every mention of the
// old name, in UTF-8 or in the Windows code page, and in links with blanks written as "%20".
void rewriteFolderName(QByteArray &page, const QString &oldName, const QString &newName);

} // namespace PageNames
