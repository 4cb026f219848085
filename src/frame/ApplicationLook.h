#pragma once
// The application looks (the commands ID_VIEW_APPLOOK_*, 210 to 218): how each one paints the
// ribbon and the frame, and how the application button steps through them.

#include "core/Identifiers.h"

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

inline constexpr std::uint32_t kFirstLook = wc::ID_VIEW_APPLOOK_WIN_2000;
inline constexpr std::uint32_t kFirstOffice2007Look = wc::ID_VIEW_APPLOOK_OFF_2007_BLUE;
inline constexpr std::uint32_t kLastLook = wc::ID_VIEW_APPLOOK_OFF_2007_AQUA;
inline constexpr std::uint32_t kDefaultLook = wc::ID_VIEW_APPLOOK_OFF_2007_BLACK;

// The look after `current`: the next identifier, and after the last Office
// 2007 look (or any larger value) the first Office 2007 look again.
std::uint32_t NextApplicationLook(std::uint32_t current);

// What a look sets; any identifier outside 210 to 218 gets the Office art
// with the colour scheme left as it is.
LookStyle StyleForLook(std::uint32_t look);

// The menu text of a look.
const char* LookMenuText(std::uint32_t look);
