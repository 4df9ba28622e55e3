// vellix: the command-line front end over the control library.
#include "cli/CliDispatcher.h"
#include "cli/ConfigCommand.h"
#include "cli/FtpCommand.h"
#include "cli/RefreshArchiveCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vellix"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    CliDispatcher dispatcher;
    dispatcher.add(std::make_unique<ConfigCommand>());
    dispatcher.add(std::make_unique<FtpCommand>());
    dispatcher.add(std::make_unique<RefreshArchiveCommand>());
    return dispatcher.run(QCoreApplication::arguments().mid(1), out, err);
}
