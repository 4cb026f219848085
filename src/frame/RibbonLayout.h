#pragma once
// The ribbon's content as data: categories, panels and elements in order,
// with their commands and images, and the string table that gives each
// command its description and tooltip.

#include <optional>
#include <string>
#include <vector>

enum class RibbonElementKind
{
    Button,
    CheckBox
};

struct RibbonElement
{
    const char* caption;
    RibbonElementKind kind;
    int command;
    int smallImage; // index in the small strip, -1 for none
    int largeImage; // index in the large strip, -1 for none
};

struct RibbonPanelLayout
{
    const char* caption;
    std::vector<RibbonElement> elements;
};

struct RibbonCategoryLayout
{
    const char* caption;
    std::vector<RibbonPanelLayout> panels;
};

// The five categories; category i opens page template i.
const std::vector<RibbonCategoryLayout>& RibbonCategories();

// Image of m_PanelImages a collapsed panel shows, and the About button's image.
inline constexpr int kCollapsedPanelImage = 7;
inline constexpr int kAboutButtonImage = 0;

struct CommandPrompt
{
    std::string description;
    std::string tooltip;
};

// A command's string resource split at its line break; nothing for commands
// without one.
std::optional<CommandPrompt> CommandPromptFor(int command);

// Texts of the tab row and the application button.
inline constexpr const char* kAppButtonTooltip = "Click Here to Change Application Skin";
inline constexpr const char* kStyleCaption = "Style";
inline constexpr const char* kStyleTooltip = "Modify Visual Style";
inline constexpr const char* kStyleDescription = "Choose one of the Office 2007 themes";
