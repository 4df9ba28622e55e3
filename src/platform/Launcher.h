#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

// Starts programs from a Windows command line, as the system's program starter does, without
// waiting for them. The program's DOS path is mapped to Linux; "NAME.exe" runs NAME when no
// NAME.exe exists; a bare name is looked for on the search path, then beside the running
// program and in the programs folder installed with the control; the well-known Windows programs
// are mapped to the desktop's own: the browser and viewer to xdg-open, Notepad to $VISUAL, $EDITOR
// or xdg-open, WordPad and Word to LibreOffice Writer when installed, else xdg-open. Arguments that
// are absolute DOS paths are handed to the mapped program as Linux paths.
class Launcher
{
public:
    struct Command
    {
        QString program; // Linux path or a name on the search path
        QStringList arguments;
        QString error; // why the command line cannot run; empty when it can
    };

    struct Result
    {
        bool started = false;
        qint64 pid = 0;
        QString error;
    };

    // Splits a command line by the Windows rules: blanks separate arguments, double quotes
    // group, 2n backslashes before a quote give n and open or close, 2n+1 give n and a quote.
    // The program name (first argument) ends at the first blank outside quotes and takes no
    // backslash escapes.
    static QStringList splitCommandLine(const QString &commandLine);

    // One argument enclosed in double quotes, so that splitCommandLine gives it back as it
    // was: backslashes before a quote, and before the closing quote, are doubled, and quotes
    // are escaped.
    static QString quoteArgument(const QString &argument);

    // What start() would run for the command line.
    static Command resolve(const QString &commandLine);

    static Result start(const QString &commandLine);
};

} // namespace Platform
