#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

class QIODevice;

// The commands of "vellix ftp" read from a stream, one a line. Words are separated by blanks;
// a word with blanks is written in double quotes, and a double quote inside quotes is written
// twice ("it""s" is it"s), so any file name can be written. Blank lines and lines whose first
// character other than a blank is "#" are skipped. Lines are UTF-8; a line that is not is
// refused, not read with its bad bytes replaced. So is a line that holds a NUL, which would
// cut the command short wherever it went as a C string, and a line longer than MaxLineLength
// bytes, which is passed over as it comes, never held whole.
class FtpScript
{
public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    struct Line
    {
        int number = 0;    // counted from 1, blank and comment lines included
        QStringList words; // empty when the line could not be split
        QString problem;   // why it could not be split
    };

    explicit FtpScript(QIODevice &input);

    // The next line that holds a command; nothing at the end of the input.
    std::optional<Line> next();

    // The words of one line; nothing, with the reason in *problem, when a quote is not closed.
    static std::optional<QStringList> split(QStringView line, QString *problem = nullptr);

private:
    // One line as read: its bytes without the line end, or only that it was too long.
    struct RawLine
    {
        QByteArray bytes;
        bool tooLong = false;
    };
    // The next line of the input; nothing at its end.
    std::optional<RawLine> readLine();
    // Reads what the input has ready (waiting for at least one byte); false at its end.
    bool fill();
    qsizetype buffered() const { return m_buffer.size() - m_begin; }

    QIODevice &m_input;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // the first byte of m_buffer not taken yet
    bool m_atEnd = false;
    int m_lineNumber = 0;
};
