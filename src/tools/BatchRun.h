#pragma once

#include "tools/BatchOptions.h"
#include "tools/BatchScript.h"

#include <QList>
#include <QString>

// One batch over the secure library: connect, run the script's commands in order, close.
// Each command is echoed on standard output with the library's reply; a failed command's
// reply goes to standard error with its line number.
class BatchRun
{
public:
    // The tool's exit status.
    enum ExitStatus {
        Succeeded = 0,
        SetupFailed = 1,   // the options, the script or the connection
        CommandFailed = 2, // at least one command of the script
    };

    explicit BatchRun(const BatchOptions &options);

    // Runs the whole batch. A signal (Ctrl+C, SIGTERM) stops a connect at once and the
    // commands before the next one; Interruption then tells the caller how to end.
    ExitStatus run(const QList<BatchScript::Line> &commands);

    // Why the tool refuses a command before the library sees it: a verb other than cd, put,
    // get, mkdir, del, ren and pwd, or a NUL character. Empty when the command may go.
    static QString refusal(const QString &command);

private:
    bool connect();
    bool runCommand(const BatchScript::Line &line);

    const BatchOptions &m_options;
};
