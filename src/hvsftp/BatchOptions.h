#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of hvsftp:
//   hvsftp -l USER -pw PASSWORD -b SCRIPT [-be] [-k] [-hv TEXT] HOST[:PORT]
// Options come in any order; each named value is the argument that follows its option, taken
// as it stands (a password may begin with "-").
class BatchOptions
{
public:
    QString user;
    QString password;
    QString scriptPath;              // as given: a DOS path ("c:\...") or a Linux path
    QString server;                  // "host[:port]"
    bool goOnAfterFailure = false;   // -be
    bool acceptNewHostKey = false;   // -k
    std::optional<QString> doneText; // -hv

    // What one reading of the command line gave.
    struct Parsed;

    // Reads the program's arguments, the program name first.
    static Parsed parse(const QStringList &arguments);

    // How to call the tool, for --help and after a wrong command line.
    static QString usage();
};

struct BatchOptions::Parsed
{
    std::optional<BatchOptions> options; // set when the command line is complete
    QString error;                       // why it is not; empty with options or help
    bool helpAsked = false;              // --help: print the usage and end
    // Index in the argument list of the password's value, or -1: the caller wipes it from the
    // process's own argument memory, also when the rest of the command line is wrong.
    qsizetype passwordArgument = -1;
};
