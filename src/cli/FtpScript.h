#pragma once

#include <QStringList>

#include <optional>

class QIODevice;

// The commands of "vellix ftp" read from a stream, one a line. Words are separated by blanks;
// a word with blanks is written in double quotes, and a double quote inside quotes is written
// twice ("it""s" is it"s), so any file name can be written. Blank lines and lines whose first
// character other than a blank is "#" are skipped. Lines are UTF-8; a line that is not is
// refused, not read with its bad bytes replaced.
class FtpScript
{
public:
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
    QIODevice &m_input;
    int m_lineNumber = 0;
};
