#pragma once

#include "cli/CliCommand.h"

class cFTP;
class FtpOperations;
namespace Platform {
class TerminalProgress;
}

// "vellix ftp": logs in to an FTP server with the control's FTP client and runs one command
// given on the command line, or the commands read from standard input, one a line.
class FtpCommand : public CliCommand
{
public:
    QString name() const override;
    QStringList usage() const override;
    QStringList notes() const override;
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) override;

private:
    // Runs the commands of standard input; the status to exit with.
    static int runScript(FtpOperations &operations, Platform::TerminalProgress &progress,
                         QTextStream &out, QTextStream &err);
    // Runs one command; false when it failed (and the failure is reported after its progress
    // line).
    static bool runOne(FtpOperations &operations, Platform::TerminalProgress &progress,
                       const QStringList &words, const QString &where, QTextStream &out,
                       QTextStream &err);
    int usageError(const QString &message, QTextStream &err) const;
};
