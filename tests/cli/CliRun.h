#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

// What one run of the built `vellix` printed and how it ended.
struct CliRun
{
    int exitCode = -1; // -1 when it crashed or was killed
    QString out, err;
};

// Runs the built `vellix` as a user would from a shell: the password, if any, in
// VELLIX_PASSWORD, `input` on its standard input.
inline CliRun runVellix(const QStringList &arguments, const std::optional<QString> &password,
                        const QByteArray &input)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VELLIX_PASSWORD"));
    if (password)
        environment.insert(QStringLiteral("VELLIX_PASSWORD"), *password);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELLIX_CLI_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline CliRun runVellix(const QStringList &arguments, const std::optional<QString> &password,
                        const QString &input = {})
{
    return runVellix(arguments, password, input.toUtf8());
}
