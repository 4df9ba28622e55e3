#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Platform {

// An initialisation file held as its lines, so that a change touches one line and keeps every
// other line, comment, blank and order as it was. Sections and keys are found without regard
// to case; blanks around their names, as around a value, are not part of them. Values are
// bytes; a value written between matching quotes is read without them; values that need it
// are written quoted, so every value without CR, LF or NUL reads back byte for byte.
class IniFile
{
public:
    // Reads the file at a Linux path; a missing or unreadable file is empty. Only a regular
    // file is read: anything else of that name reads as an unreadable file.
    explicit IniFile(const QString &linuxPath);

    QString fileName() const { return m_path; }
    // False when the file is there but could not be read; a missing file is read as empty.
    bool isReadable() const { return m_readable; }

    std::optional<QByteArray> value(const QString &section, const QString &key) const;
    // Keys of a section in file order (as written in the file).
    QStringList keys(const QString &section) const;

    // Changes or adds one key. False (nothing changes) for a value holding CR, LF or NUL,
    // or a section or key name that cannot be written.
    bool setValue(const QString &section, const QString &key, const QByteArray &value);
    void removeKey(const QString &section, const QString &key);

    // Who may read the file once it is saved.
    enum class Access {
        Kept,      // as the file allowed before; a new file is its owner's only
        OwnerOnly, // its owner only, whatever the file allowed before
    };

    // Writes the file atomically (a sibling file renamed over it), so the file never shows
    // its new content with its old access. False, with the file left as it was, when it was
    // there but could not be read, or when the new content cannot be written whole.
    bool save(Access access = Access::Kept) const;

    // True when the file on disk lets other users than its owner read or change it.
    bool isOpenToOthers() const;

    static bool isWritableValue(const QByteArray &value);

private:
    struct Position
    {
        qsizetype sectionLine = -1; // index of the "[section]" line, -1 when missing
        qsizetype keyLine = -1;     // index of the key's line, -1 when missing
        qsizetype sectionEnd = 0;   // index after the last non-blank line of the section
    };

    Position find(const QString &section, const QString &key) const;

    QString m_path;
    QList<QByteArray> m_lines;
    QByteArray m_newline = "\r\n";
    bool m_finalNewline = true;
    bool m_byteOrderMark = false; // the file begins with UTF-8's byte order mark
    bool m_readable = true;       // false: the file is there but its lines could not be read
};

} // namespace Platform
