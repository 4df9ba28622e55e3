#pragma once

#include "control/CommandPreparation.h"

// The control's "&Web Space" menu entry: shows the web space window over the site of the
// control's remote directory, opening the FTP session first when none is open.
class WebSpaceCommand
{
public:
    explicit WebSpaceCommand(CommandPreparation::Control control);

    // True when the web space window was shown. False when the login was cancelled or the
    // session could not be opened; the connection-failed flag then stays set, so that the
    // next command does not ask for the login data again.
    bool run();

    // The host product's folder once a session is open: the remote directory under the remote
    // root, cut after its "/DV/" folder, below the login folder.
    static QString sessionWebRoot(const QString &remoteRoot, const QString &remoteDir,
                                  const QString &homeDir);

private:
    bool showWindow();

    CommandPreparation::Control m_control;
};
