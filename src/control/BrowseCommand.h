#pragma once

#include "control/CommandPreparation.h"

// The control's "Browse..." command: opens the chooser on the path in txFile and puts the
// chosen file or folder there.
class BrowseCommand
{
public:
    explicit BrowseCommand(CommandPreparation::Control control);

    // The click on "Browse...", start to end.
    void run();

private:
    CommandPreparation m_preparation;
};
