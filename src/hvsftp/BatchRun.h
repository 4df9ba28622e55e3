#pragma once

#include "hvsftp/BatchOptions.h"
#include "hvsftp/BatchScript.h"
#include "platform/TerminalProgress.h"

#include <QList>
#include <QString>
#include <QTextStream>

// One batch over the secure library: connect, run the script's commands in order, close.
// Each command is echoed on standard output with the library's reply; a failed command's
// reply goes to standard error with its line number. On a terminal, put and get draw their
// progress on standard error.
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

    // Runs the whole batch. A signal (Ctrl+C, SIGTERM) stops a connect or a transfer at once
    // (the target stays as it was; a large file's partial stays for the next run) and the
    // commands before the next one; Interruption then tells the caller how to end.
    ExitStatus run(const QList<BatchScript::Line> &commands);

    // Why the tool refuses a command before the library sees it: a verb other than cd, put,
    // get, mkdir, del, ren and pwd, or a NUL character. Empty when the command may go.
    static QString refusal(const QString &command);
    // The command as the library runs it: a put or get continues what an earlier, cut run left
    // of its file ("-c"), since nobody is there to start it again by hand; the library starts
    // over where that is no copy of the same file.
    static QString withResume(const QString &command);

private:
    bool connect();
    bool runCommand(const BatchScript::Line &line);
    // Told by the library how a put or get goes: draws the progress line, and cancels the
    // transfer after a signal.
    static int transferGoesOn(void *run, long long done, long long total);

    const BatchOptions &m_options;
    QTextStream m_errorStream;
    Platform::TerminalProgress m_progress{m_errorStream};
    const bool m_showProgress;
};
