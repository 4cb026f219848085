#pragma once
// The application looks 210 to 218: how each one paints the ribbon and the
// frame, and how the application button steps through them.

#include <wx/colour.h>

#include <cstdint>

enum class RibbonArt
{
    Office, // the gradient, rounded ribbon
    Flat    // the plainer, flat ribbon of the older looks
};

struct LookStyle
{
    RibbonArt art;
    bool setsScheme; // false: the colour scheme stays as it was
    wxColour primary;
    wxColour secondary;
    wxColour tertiary;
};

inline constexpr std::uint32_t kFirstLook = 210;
inline constexpr std::uint32_t kFirstOffice2007Look = 215;
inline constexpr std::uint32_t kLastLook = 218;
inline constexpr std::uint32_t kDefaultLook = 216;

// The look after `current`: the next identifier, and after the last Office
// 2007 look (or any larger value) the first Office 2007 look again.
std::uint32_t NextApplicationLook(std::uint32_t current);

// What a look sets; any identifier outside 210 to 218 gets the Office art
// with the colour scheme left as it is.
LookStyle StyleForLook(std::uint32_t look);

// The menu text of a look.
const char* LookMenuText(std::uint32_t look);
