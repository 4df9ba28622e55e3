#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

// What one run of a built program printed and how it ended.
struct CliRun
{
    int exitCode = -1; // -1 when it crashed, was killed or did not end
    QString out, err;
};

inline void PrintTo(const CliRun &run, std::ostream *out)
{
    *out << "exit " << run.exitCode << "\nstdout:\n"
         << run.out.toStdString() << "stderr:\n"
         << run.err.toStdString();
}

// Runs a built program with `input` on its standard input; one that does not end in time is
// killed.
inline CliRun
runProgram(const QString &program, const QStringList &arguments, const QByteArray &input = {},
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(90000);
    EXPECT_TRUE(ended) << program.toStdString() << " did not end";
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

#ifdef VELLIX_CLI_PATH
// The environment of a run of the built `vellix`: the password, if any, in VELLIX_PASSWORD.
inline QProcessEnvironment vellixEnvironment(const std::optional<QString> &password)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VELLIX_PASSWORD"));
    if (password)
        environment.insert(QStringLiteral("VELLIX_PASSWORD"), *password);
    return environment;
}

// Runs the built `vellix` as a user would from a shell, `input` on its standard input.
inline CliRun runVellix(const QStringList &arguments, const std::optional<QString> &password,
                        const QByteArray &input)
{
    return runProgram(QStringLiteral(VELLIX_CLI_PATH), arguments, input,
                      vellixEnvironment(password));
}

inline CliRun runVellix(const QStringList &arguments, const std::optional<QString> &password,
                        const QString &input = {})
{
    return runVellix(arguments, password, input.toUtf8());
}

// Runs the built `vellix` from a shell that first runs `shellLines` (to limit it, or to set its
// arguments with "set --").
inline CliRun runVellixAfter(const QString &shellLines, const QStringList &arguments,
                             const std::optional<QString> &password)
{
    const QStringList shell{QStringLiteral("-c"),
                            shellLines + QStringLiteral("\nexec \"$0\" \"$@\""),
                            QStringLiteral(VELLIX_CLI_PATH)};
    return runProgram(QStringLiteral("/bin/sh"), shell + arguments, {},
                      vellixEnvironment(password));
}

// Starts the built `vellix` in the background, for a test that acts on it while it runs (a
// signal, a server that stops).
inline void startVellix(QProcess &process, const QStringList &arguments, const QString &password)
{
    process.setProcessEnvironment(vellixEnvironment(password));
    process.start(QStringLiteral(VELLIX_CLI_PATH), arguments);
}
#endif
