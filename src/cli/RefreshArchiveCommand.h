#pragma once

#include "cli/CliCommand.h"

// "vellix refresh-archive RDIR": rebuilds and uploads the catalogue of the archive that a
// remote directory names, with the course's stored login data, without any window. The manual
// refresh that "Refresh Failed." asks the teacher for, and what a scheduled job runs.
class RefreshArchiveCommand : public CliCommand
{
public:
    QString name() const override;
    QStringList usage() const override;
    QStringList notes() const override;
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) override;
};
