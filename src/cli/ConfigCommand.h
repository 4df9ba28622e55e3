#pragma once

#include "cli/CliCommand.h"

#include <optional>

class QCommandLineParser;

// "vellix config": shows what the control reads from a course section of Dovrelle.ini, and
// stores a course's login data the way the login dialog does.
class ConfigCommand : public CliCommand
{
public:
    QString name() const override;
    QStringList usage() const override;
    QStringList notes() const override;
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) override;

private:
    int show(const QStringList &arguments, QTextStream &out, QTextStream &err) const;
    int setLogin(const QStringList &arguments, QTextStream &out, QTextStream &err) const;

    // Parses the arguments of one action; the course on success. Otherwise the status to exit
    // with is left in status (help printed, or a usage error reported).
    static std::optional<QString> parse(QCommandLineParser &parser, const QStringList &arguments,
                                        const QString &usageLine, QTextStream &out,
                                        QTextStream &err, int &status);
    static int usageError(const QString &message, const QString &usageLine, QTextStream &err);
};
