// vellix: the command-line front end over the control library.
#include "cli/CliDispatcher.h"
#include "cli/ConfigCommand.h"
#include "cli/FtpCommand.h"
#include "cli/RefreshArchiveCommand.h"
#include "platform/StandardStreams.h"
#include "transport/NameCodec.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    Platform::StandardStreams::guard();
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
    const int status = dispatcher.run(QCoreApplication::arguments().mid(1), out, err);
    // What a command prints is its result (a listing, a size): a job that lost it to a closed
    // or full output must not be told all went well.
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "vellix: cannot write to standard output: " << out.device()->errorString() << '\n';
        return status == CliCommand::Success ? CliCommand::Failure : status;
    }
    return status;
}
