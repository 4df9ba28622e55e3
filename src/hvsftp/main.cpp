// hvsftp: runs a script of transfer commands on an SFTP server through the secure library.
#include "hvsftp/BatchOptions.h"
#include "hvsftp/BatchRun.h"
#include "hvsftp/BatchScript.h"
#include "hvsftp/Console.h"
#include "hvsftp/SecretArgument.h"
#include "platform/Interruption.h"
#include "platform/StandardStreams.h"

#include <QStringList>

#include <csignal>

int main(int argc, char *argv[])
{
    Platform::StandardStreams::guard();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    const BatchOptions::Parsed parsed = BatchOptions::parse(arguments);
    if (parsed.passwordArgument > 0)
        SecretArgument::wipe(argv[parsed.passwordArgument]);
    arguments.clear();
    // The log may go to a reader that has gone away; the transfers go on all the same.
    std::signal(SIGPIPE, SIG_IGN);

    if (parsed.helpAsked) {
        Console::out(BatchOptions::usage());
        return BatchRun::Succeeded;
    }
    if (!parsed.options) {
        Console::error(parsed.error);
        Console::err(BatchOptions::usage());
        return BatchRun::SetupFailed;
    }

    QString why;
    const auto commands = BatchScript::read(parsed.options->scriptPath, &why);
    if (!commands) {
        Console::error(why);
        return BatchRun::SetupFailed;
    }

    const BatchRun::ExitStatus status = BatchRun(*parsed.options).run(*commands);
    // After Ctrl+C or SIGTERM the tool ends by that signal, as its caller expects.
    Platform::Interruption::endByRequestedSignal();
    return status;
}
