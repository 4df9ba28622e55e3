#pragma once

#include "operations/EditCommands.h"

#include <functional>

class QMenu;

// The entries of the local windows' edit menu, each named as scripts find it: the browser,
// Notepad, WordPad and Word. Choosing one hands its program to open.
void addEditEntries(QMenu *menu, const std::function<void(EditCommands::Program)> &open);
