#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The command script of a batch: one command a line. The control writes it in Windows-1252
// with CR LF line ends, and writes characters outside that code page as numeric character
// references ("&#8364;"); a script written by hand may be UTF-8 with LF line ends.
class BatchScript
{
public:
    // Longer lines are no commands: they are refused unread rather than echoed or sent.
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    struct Line
    {
        int number = 0;       // counted from 1, blank lines included
        QString text;         // without its line end and surrounding blanks
        QString problem = {}; // why the line is refused before it is run (its text empty)
        bool operator==(const Line &) const = default;
    };

    // The commands of the script file; nullopt with the reason in *why when it cannot be
    // read. The path may be a DOS path ("c:\...") or a Linux path.
    static std::optional<QList<Line>> read(const QString &path, QString *why);

    // The commands of a script's bytes: decoded, split into lines, blank lines left out.
    // A line of more than MaxLineLength characters comes with its problem instead.
    static QList<Line> lines(QByteArrayView content);

    // The script's text: UTF-8 when the bytes are valid UTF-8 (a leading byte order mark
    // dropped), else Windows-1252.
    static QString decode(QByteArrayView content);

    // The text with every well-formed reference ("&#233;", "&#xE9;") to a character that has
    // no byte in Windows-1252 turned into that character. Those are the ones the control
    // writes; any other "&#" is taken as written, so a file name that holds one stays intact.
    static QString withCharacterReferencesResolved(const QString &text);

    // The Linux path of a script path given as a DOS or a Linux path; empty when a DOS path
    // names a drive that does not exist.
    static QString linuxPath(const QString &path);
};
