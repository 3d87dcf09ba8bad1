#include "chart/palette.h"

#include <cstdint>
#include <unordered_map>

namespace quillory {

namespace {

constexpr Rgb kPalette[kFixedColors] = {
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {192, 192, 192},
    {128, 128, 128},
    {255, 255, 0},
    {0, 255, 255},
    {255, 0, 255},
    {255, 255, 128},
    {0, 255, 128},
    {255, 0, 128},
    {0, 0, 0},
};

std::uint32_t g_randomState = 1;

std::unordered_map<std::string, Rgb>& rememberedColors()
{
    static std::unordered_map<std::string, Rgb> colors;
    return colors;
}

} // namespace

Rgb RandomColor()
{
    // The classic linear congruential generator with results 0..32767.
    auto next = [] {
        g_randomState = g_randomState * 214013u + 2531011u;
        return static_cast<std::uint8_t>(((g_randomState >> 16) & 0x7FFF) / 128);
    };
    const std::uint8_t r = next();
    const std::uint8_t g = next();
    const std::uint8_t b = next();
    return {r, g, b};
}

Rgb PaletteColor(int n, const std::string& name)
{
    if (n >= 0 && n < kFixedColors)
        return kPalette[n];
    auto& remembered = rememberedColors();
    const auto it = remembered.find(name);
    if (it != remembered.end())
        return it->second;
    return remembered.emplace(name, RandomColor()).first->second;
}

} // namespace quillory
