#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// One subcommand of the command-line front end ("vellix config ...").
class CliCommand
{
public:
    // Exit statuses of the front end.
    enum Status { Success = 0, Failure = 1, UsageError = 2 };
    // Passwords come from the environment, never from the command line, where every user of
    // the machine could read them.
    static constexpr char PasswordVariable[] = "VELLIX_PASSWORD";

    virtual ~CliCommand() = default;

    // The word that selects the command ("config").
    virtual QString name() const = 0;
    // Its usage lines, each a complete call without the leading "usage: ".
    virtual QStringList usage() const = 0;
    // Notes printed under the usage lines of the full help.
    virtual QStringList notes() const { return {}; }
    // Runs the command with the arguments that follow its name; returns the exit status.
    virtual int run(const QStringList &arguments, QTextStream &out, QTextStream &err) = 0;
};
