#include "model/Colour.h"

namespace glowline {

int quantize(Rgb24 colour)
{
    return packChannels(redOf(colour), greenOf(colour), blueOf(colour));
}

Rgb24 expand(int packed)
{
    return rgb24(redNibble(packed) * 16, greenNibble(packed) * 16, blueNibble(packed) * 16);
}

} // namespace glowline
