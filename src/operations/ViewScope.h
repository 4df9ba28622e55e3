#pragma once

#include <QString>

// The local files that a page shown in the viewer may load: the page itself, and the files
// beside it and in the folders below its own (its companion folder, its pictures and style
// sheets). Never a hidden file or folder (a name beginning with "."), where configurations and
// keys live; never the control's own files in the prefix (Dovrelle.ini in the Windows
// directory, the registry, known hosts, a host's property bag), only drive_c outside its
// Windows directory; and never a file that a link inside the folder leads out of it to.
class ViewScope
{
public:
    // Allows nothing.
    ViewScope() = default;
    // pagePath: the Linux path of the page shown.
    explicit ViewScope(const QString &pagePath);

    bool allows(const QString &linuxPath) const;

private:
    // The rule for one spelling of a path (as named, or with its links resolved) against the
    // page's folder in the same spelling.
    static bool below(const QString &path, const QString &folder);

    QString m_page;
    QString m_folder;          // as named
    QString m_canonicalFolder; // links resolved
    QString m_prefix;
    QString m_driveC;
    QString m_windows;
};
