#pragma once

#include "lists/ListWindowPair.h"

// What the control hands the list windows to open: its about box, and the viewer placed
// beside the list.
ListWindowPair::Openers ListWindowOpeners();
