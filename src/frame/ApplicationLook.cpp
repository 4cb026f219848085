#include "frame/ApplicationLook.h"

#include "core/Identifiers.h"

std::uint32_t NextApplicationLook(std::uint32_t current)
{
    const std::uint32_t next = current + 1;
    return next > kLastLook ? kFirstOffice2007Look : next;
}

LookStyle StyleForLook(std::uint32_t look)
{
    const wxColour black(0, 0, 0);
    switch (look)
    {
    case wc::ID_VIEW_APPLOOK_WIN_2000: // Windows 2000: classic grey and navy
        return {RibbonArt::Flat, true, wxColour(212, 208, 200), wxColour(10, 36, 106), black};
    case wc::ID_VIEW_APPLOOK_OFF_XP: // Office XP: pale beige with a blue highlight
        return {RibbonArt::Flat, true, wxColour(236, 233, 216), wxColour(49, 106, 197), black};
    case wc::ID_VIEW_APPLOOK_WIN_XP: // Windows XP: the desktop's own theme colours
        return {RibbonArt::Flat, true, wxColour(225, 225, 225), wxColour(51, 153, 255), black};
    case wc::ID_VIEW_APPLOOK_OFF_2003: // Office 2003: light blue with an orange highlight
        return {RibbonArt::Office, true, wxColour(158, 190, 245), wxColour(255, 213, 140), black};
    case wc::ID_VIEW_APPLOOK_VS_2005: // Visual Studio 2005: warm grey
        return {RibbonArt::Flat, true, wxColour(219, 216, 209), wxColour(255, 192, 111), black};
    case wc::ID_VIEW_APPLOOK_OFF_2007_BLUE: // Office 2007 blue
        return {RibbonArt::Office, true, wxColour(194, 216, 241), wxColour(255, 223, 114), black};
    case wc::ID_VIEW_APPLOOK_OFF_2007_BLACK: // Office 2007 black
        return {RibbonArt::Office, true, wxColour(83, 83, 83), wxColour(255, 194, 76),
                wxColour(0, 0, 0)};
    case wc::ID_VIEW_APPLOOK_OFF_2007_SILVER: // Office 2007 silver
        return {RibbonArt::Office, true, wxColour(208, 212, 221), wxColour(255, 223, 114), black};
    case wc::ID_VIEW_APPLOOK_OFF_2007_AQUA: // Office 2007 aqua
        return {RibbonArt::Office, true, wxColour(177, 226, 233), wxColour(255, 200, 110), black};
    default:
        return {RibbonArt::Office, false, wxColour(), wxColour(), wxColour()};
    }
}

const char* LookMenuText(std::uint32_t look)
{
    switch (look)
    {
    case wc::ID_VIEW_APPLOOK_WIN_2000:
        return "Windows &2000";
    case wc::ID_VIEW_APPLOOK_OFF_XP:
        return "Office &XP";
    case wc::ID_VIEW_APPLOOK_WIN_XP:
        return "&Windows XP";
    case wc::ID_VIEW_APPLOOK_OFF_2003:
        return "Office 200&3";
    case wc::ID_VIEW_APPLOOK_VS_2005:
        return "Visual Studio.NET 200&5";
    case wc::ID_VIEW_APPLOOK_OFF_2007_BLUE:
        return "Office 2007 (&Blue Style)";
    case wc::ID_VIEW_APPLOOK_OFF_2007_BLACK:
        return "Office 2007 (B&lack Style)";
    case wc::ID_VIEW_APPLOOK_OFF_2007_SILVER:
        return "Office 2007 (&Silver Style)";
    case wc::ID_VIEW_APPLOOK_OFF_2007_AQUA:
        return "Office 2007 (&Aqua Style)";
    default:
        return "";
    }
}
