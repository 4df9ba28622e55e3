#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// One command text as callers write it: a verb, option flags, then the arguments, each in
// double quotes and unescaped (`put -h "C:\web\a b.htm" "a b.htm"`). Because quotes inside
// names are not escaped, a text with two arguments can often be read in more than one way;
// the text keeps every reading and the caller picks the one that names existing files.
class CommandText
{
public:
    static CommandText parse(QStringView text);

    // Lower-case verb: "put", "cd", ...; empty for a blank text.
    QString verb() const { return m_verb; }
    // Option flags before the arguments, lower case: "-h", "-u".
    QStringList flags() const { return m_flags; }
    bool hasFlag(QStringView flag) const { return m_flags.contains(flag); }

    // Every way the arguments can be read, each a list of arguments. A one-argument reading
    // (everything between the first and the last quote) comes first when there is one, then
    // the two-argument readings, split at each `" "`.
    QList<QStringList> readings() const { return m_readings; }
    // The readings with exactly `count` arguments.
    QList<QStringList> readingsWith(qsizetype count) const;

private:
    QString m_verb;
    QStringList m_flags;
    QList<QStringList> m_readings;
};
