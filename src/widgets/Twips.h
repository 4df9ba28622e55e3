#pragma once

// The windows' places and sizes were given in twips: 15 make a pixel on a screen of 96 dots
// an inch.
constexpr int twipsToPixels(int twips)
{
    return twips / 15;
}
