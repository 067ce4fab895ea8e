#pragma once

#include <array>
#include <cstdint>

namespace kx3 {

/// One entry of the kit colour table. Item 0 ("None") has no colour of its
/// own: it is drawn in the system button-face colour.
struct KitColour
{
    const char *name;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool usesButtonFace;
};

/// Items of every kit colour list: item 0 "None", item k = stored colour k - 1.
inline constexpr std::array<KitColour, 26> KitColourItems = {{
    {"None", 0, 0, 0, true},
    {"Black", 0, 0, 0, false},
    {"White", 255, 255, 255, false},
    {"Grey", 160, 160, 160, false},
    {"Dusty Grey", 112, 112, 144, false},
    {"Red", 255, 0, 0, false},
    {"Dark Red", 208, 0, 0, false},
    {"Very Dark Red", 176, 48, 0, false},
    {"Orange", 255, 112, 0, false},
    {"Light Orange", 255, 160, 0, false},
    {"Yellow", 255, 255, 0, false},
    {"Dark Yellow", 255, 224, 0, false},
    {"Light Green", 0, 160, 80, false},
    {"Green", 0, 128, 80, false},
    {"Very Dark Blue", 0, 64, 128, false},
    {"Dark Blue", 0, 64, 160, false},
    {"Blue", 0, 80, 192, false},
    {"Light Blue", 0, 112, 240, false},
    {"Very Light Blue", 128, 224, 255, false},
    {"Dark Purple", 160, 0, 96, false},
    {"Purple", 128, 0, 128, false},
    {"Very Dark Purple", 160, 0, 64, false},
    {"Brown", 160, 96, 0, false},
    {"Light Brown", 208, 112, 0, false},
    {"Pink", 255, 117, 165, false},
    {"Gold", 249, 209, 72, false},
}};

/// Stored value of "None" as the editor writes it (any negative reads as none).
inline constexpr std::int32_t NoKitColour = -2;

/// Item of a stored colour: negative -> 0, otherwise stored + 1; -1 (no item)
/// for a stored index beyond the table.
constexpr int kitColourItem(std::int32_t stored)
{
    if (stored < 0)
        return 0;
    return stored < std::int32_t(KitColourItems.size()) - 1 ? int(stored) + 1 : -1;
}

/// Stored value of an item: item 0 (or no valid item) -> -2, otherwise item - 1.
constexpr std::int32_t kitColourStored(int item)
{
    return item >= 1 && item < int(KitColourItems.size()) ? item - 1 : NoKitColour;
}

/// Table entry behind an item; items outside 1-25 (no selection included)
/// draw like "None".
constexpr const KitColour &kitColourOfItem(int item)
{
    return item >= 1 && item < int(KitColourItems.size()) ? KitColourItems[std::size_t(item)]
                                                          : KitColourItems[0];
}

} // namespace kx3
