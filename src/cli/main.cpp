// vellix: the command-line front end over the control library.
#include "cli/CliDispatcher.h"
#include "cli/ConfigCommand.h"
#include "cli/FtpCommand.h"
#include "cli/RefreshArchiveCommand.h"
#include "transport/NameCodec.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // An argument that is not UTF-8 would reach the commands with its bad bytes replaced, and
    // name another file than the one meant.
    for (int i = 1; i < argc; ++i) {
        if (!Ftp::NameCodec::isUtf8(argv[i])) {
            std::fprintf(stderr, "vellix: argument %d is not UTF-8 text\n", i);
            return CliCommand::UsageError;
        }
    }

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
