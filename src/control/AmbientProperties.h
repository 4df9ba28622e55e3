#pragma once

#include <QColor>

// What the host tells its controls about itself: whether it runs (a page in a browser, a form
// at run time) or is being designed, and the colour of the surface the control sits on.
struct AmbientProperties
{
    bool UserMode = true; // true while the host runs; false in a design environment
    QColor BackColor;     // invalid: the host has no colour of its own
};
