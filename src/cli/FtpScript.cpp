#include "cli/FtpScript.h"

#include <QTextStream>

#include <utility>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

FtpScript::FtpScript(QTextStream &input)
    : m_input(input)
{}

std::optional<FtpScript::Line> FtpScript::next()
{
    QString text;
    while (m_input.readLineInto(&text)) {
        ++m_lineNumber;
        if (text.trimmed().startsWith(QLatin1Char('#')))
            continue;
        Line line;
        line.number = m_lineNumber;
        const auto words = split(text, &line.problem);
        if (words && words->isEmpty())
            continue;
        if (words)
            line.words = *words;
        return line;
    }
    return std::nullopt;
}

std::optional<QStringList> FtpScript::split(QStringView line, QString *problem)
{
    const QChar quote = QLatin1Char('"');
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != quote) {
                word += c;
            } else if (i + 1 < line.size() && line.at(i + 1) == quote) {
                word += quote;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == quote) {
            quoted = true;
            inWord = true;
        } else if (isBlank(c)) {
            if (inWord)
                words.append(std::exchange(word, QString()));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        if (problem)
            *problem = QStringLiteral("a double quote is not closed");
        return std::nullopt;
    }
    if (inWord)
        words.append(word);
    return words;
}
