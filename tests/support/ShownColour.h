#pragma once

#include "model/Colour.h"

namespace glowline::test {

// What an LED or swatch shows for a packed colour: each four-bit channel n as
// n * 16, worked out apart from the code that draws it.
inline Rgb24 shownColour(int packed)
{
    return rgb24(((packed >> 8) & 0xF) * 16, ((packed >> 4) & 0xF) * 16, (packed & 0xF) * 16);
}

} // namespace glowline::test
