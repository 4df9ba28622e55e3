#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// One command text as callers write it: a verb, option flags, then the arguments, each in
// double quotes with every double quote inside it written twice (`put -h "C:\web\a b.htm"
// "say ""hi"".htm"`), or, without blanks and quotes, as a bare word (`cd docs`). The client
// quotes its arguments so (SecureCommand); a text that cannot be read one way only, with a
// quote that is never closed or that is followed by more than a blank, has no arguments.
class CommandText
{
public:
    static CommandText parse(QStringView text);

    // Lower-case verb: "put", "cd", ...; empty for a blank text.
    QString verb() const { return m_verb; }
    // Option flags before the arguments, lower case: "-h", "-u", "-c".
    QStringList flags() const { return m_flags; }
    bool hasFlag(QStringView flag) const { return m_flags.contains(flag); }

    // The arguments as meant; nothing when the text cannot be read one way only.
    std::optional<QStringList> arguments() const { return m_arguments; }

private:
    QString m_verb;
    QStringList m_flags;
    std::optional<QStringList> m_arguments;
};
