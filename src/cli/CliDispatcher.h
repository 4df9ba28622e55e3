#pragma once

#include "cli/CliCommand.h"

#include <memory>
#include <vector>

// Picks the subcommand named by the first argument and runs it; prints the usage of all
// subcommands for "--help", no arguments or an unknown subcommand.
class CliDispatcher
{
public:
    void add(std::unique_ptr<CliCommand> command);

    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) const;

    // Usage lines of every subcommand, the first one prefixed with "usage: ".
    static void printUsage(const QStringList &lines, QTextStream &stream);

private:
    CliCommand *find(const QString &name) const;
    QStringList allUsage() const;

    std::vector<std::unique_ptr<CliCommand>> m_commands;
};
