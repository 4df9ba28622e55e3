#include "cli/CliDispatcher.h"

#include <QTextStream>

namespace {

bool isHelp(const QString &argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
           argument == QLatin1String("help");
}

} // namespace

void CliDispatcher::add(std::unique_ptr<CliCommand> command)
{
    m_commands.push_back(std::move(command));
}

int CliDispatcher::run(const QStringList &arguments, QTextStream &out, QTextStream &err) const
{
    if (arguments.isEmpty()) {
        printUsage(allUsage(), err);
        return CliCommand::UsageError;
    }
    if (isHelp(arguments.first())) {
        printUsage(allUsage(), out);
        for (const auto &command : m_commands) {
            for (const QString &note : command->notes())
                out << note << '\n';
        }
        return CliCommand::Success;
    }
    CliCommand *command = find(arguments.first());
    if (!command) {
        err << "vellix: unknown command '" << arguments.first() << "'\n";
        printUsage(allUsage(), err);
        return CliCommand::UsageError;
    }
    return command->run(arguments.mid(1), out, err);
}

void CliDispatcher::printUsage(const QStringList &lines, QTextStream &stream)
{
    const QLatin1String lead("usage: ");
    for (qsizetype i = 0; i < lines.size(); ++i)
        stream << (i == 0 ? QString(lead) : QString(lead.size(), QLatin1Char(' '))) << lines.at(i)
               << '\n';
}

CliCommand *CliDispatcher::find(const QString &name) const
{
    for (const auto &command : m_commands) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QStringList CliDispatcher::allUsage() const
{
    QStringList lines;
    for (const auto &command : m_commands)
        lines += command->usage();
    return lines;
}
