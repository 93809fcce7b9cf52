#pragma once

#include <cstdint>

namespace glowline {

// A packed colour is 12 bits of a cell: red in bits 11..8, green 7..4, blue
// 3..0. An Rgb24 is the 24-bit colour of the editor's swatches and LED shapes:
// red in the low byte, green above it, blue in bits 23..16.
using Rgb24 = std::uint32_t;

constexpr Rgb24 rgb24(int red, int green, int blue)
{
    return Rgb24(red & 0xFF) | Rgb24(green & 0xFF) << 8 | Rgb24(blue & 0xFF) << 16;
}
constexpr int redOf(Rgb24 c) { return int(c & 0xFF); }
constexpr int greenOf(Rgb24 c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(Rgb24 c) { return int((c >> 16) & 0xFF); }

// Keeps the top four bits of each channel.
int quantize(Rgb24 colour);
// Channel nibble n becomes n * 16, so full intensity shows as 240, not 255.
// Bits above bit 11 are ignored.
Rgb24 expand(int packed);

// Packed colour from three channels of 0..255 (the low four bits are dropped).
constexpr int packChannels(int red, int green, int blue)
{
    return (red / 16) * 256 + (green / 16) * 16 + blue / 16;
}
constexpr int redNibble(int packed) { return (packed >> 8) & 0xF; }
constexpr int greenNibble(int packed) { return (packed >> 4) & 0xF; }
constexpr int blueNibble(int packed) { return packed & 0xF; }

} // namespace glowline
