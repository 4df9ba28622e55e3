#include "securelib/CommandText.h"

namespace {

const QLatin1Char Quote('"');
const QLatin1String ArgumentSeparator("\" \"");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The next blank-delimited word from `position` on, moving `position` past it.
QStringView nextWord(QStringView text, qsizetype &position)
{
    while (position < text.size() && isBlank(text.at(position)))
        ++position;
    const qsizetype start = position;
    while (position < text.size() && !isBlank(text.at(position)))
        ++position;
    return text.mid(start, position - start);
}

QList<QStringList> quotedReadings(QStringView quoted)
{
    // Without a closing quote the text is one argument up to its end.
    if (quoted.size() < 2 || !quoted.endsWith(Quote))
        return {{quoted.mid(1).toString()}};
    const QStringView inner = quoted.mid(1, quoted.size() - 2);
    QList<QStringList> readings{{inner.toString()}};
    for (qsizetype split = inner.indexOf(ArgumentSeparator); split >= 0;
         split = inner.indexOf(ArgumentSeparator, split + 1)) {
        readings.append(QStringList{inner.left(split).toString(),
                                    inner.mid(split + ArgumentSeparator.size()).toString()});
    }
    return readings;
}

// Words without quotes, as a person types them: `cd docs`.
QList<QStringList> plainReadings(QStringView rest)
{
    QStringList words;
    qsizetype position = 0;
    for (QStringView word = nextWord(rest, position); !word.isEmpty();
         word = nextWord(rest, position))
        words.append(word.toString());
    return {words};
}

} // namespace

CommandText CommandText::parse(QStringView text)
{
    CommandText command;
    const QStringView line = text.trimmed();
    qsizetype position = 0;
    command.m_verb = nextWord(line, position).toString().toLower();

    // Flags are the unquoted words that start with "-" before the first argument.
    for (;;) {
        qsizetype next = position;
        const QStringView word = nextWord(line, next);
        if (!word.startsWith(QLatin1Char('-')) || word.size() < 2)
            break;
        command.m_flags.append(word.toString().toLower());
        position = next;
    }

    const QStringView rest = line.mid(position).trimmed();
    if (rest.isEmpty())
        command.m_readings = {QStringList()};
    else if (rest.startsWith(Quote))
        command.m_readings = quotedReadings(rest);
    else
        command.m_readings = plainReadings(rest);
    return command;
}

QList<QStringList> CommandText::readingsWith(qsizetype count) const
{
    QList<QStringList> matching;
    for (const QStringList &reading : m_readings) {
        if (reading.size() == count)
            matching.append(reading);
    }
    return matching;
}
