#pragma once

#include "control/CommandPreparation.h"

// The control's "&Dn Del Rn" command: opens the remote list window on the course's month
// folder, where the teacher copies files down, deletes and renames them.
class DownloadCommand
{
public:
    explicit DownloadCommand(CommandPreparation::Control control);

    // The click on "&Dn Del Rn", start to end.
    void run();

    // Opens the remote list on the month folder, comparing it with a local path; shows it
    // when it could be listed.
    void openRemoteList(const QString &localPath);

private:
    CommandPreparation m_preparation;
};
