#include "frame/CustomMFCRibbonBar.h"

#include "core/Identifiers.h"
#include "frame/ApplicationLook.h"
#include "frame/PageTable.h"
#include "frame/RibbonLayout.h"
#include "frame/TabRowButton.h"
#include "platform/Messages.h"
#include "res/Resources.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/menu.h>
#include <wx/ribbon/art.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/settings.h>

#include <algorithm>
#include <memory>
#include <utility>

// clang-format off
wxBEGIN_EVENT_TABLE(CCustomMFCRibbonBar, wxRibbonBar)
    EVT_RIBBONBAR_PAGE_CHANGING(wxID_ANY, CCustomMFCRibbonBar::OnPageChanging)
    EVT_RIBBONBUTTONBAR_CLICKED(wxID_ANY, CCustomMFCRibbonBar::OnButtonClicked)
    EVT_IDLE(CCustomMFCRibbonBar::OnIdle)
    EVT_SIZE(CCustomMFCRibbonBar::OnSize)
    EVT_CONTEXT_MENU(CCustomMFCRibbonBar::OnContextMenu)
wxEND_EVENT_TABLE()
// clang-format on

namespace
{
constexpr int kTabRowGap = 4;

wxWindow* MainWindow()
{
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

wxBitmap SmallImage(int index)
{
    return res::StripImage(res::kRibbonSmallImages, index, 16);
}

wxBitmap LargeImage(int index)
{
    return res::StripImage(res::kRibbonLargeImages, index, 32);
}

// Elements drawn without an image still need a bitmap of the right size.
wxBitmap ImageOrBlank(const wxBitmap& image, int size)
{
    if (image.IsOk())
        return image;
    wxImage blank(size, size);
    blank.InitAlpha();
    std::fill(blank.GetAlpha(), blank.GetAlpha() + size * size, 0);
    return wxBitmap(blank);
}

wxString PromptText(int command)
{
    const auto prompt = CommandPromptFor(command);
    if (!prompt)
        return wxString();
    return wxString::FromUTF8(prompt->tooltip) + "\n" + wxString::FromUTF8(prompt->description);
}

void AddPanel(wxRibbonPage* page, const RibbonPanelLayout& layout, CCustomMFCRibbonBar* bar)
{
    auto* panel = new wxRibbonPanel(page, wxID_ANY, layout.caption,
                                    res::StripImage(res::kPanelImages, kCollapsedPanelImage, 16));
    auto* buttons = new wxRibbonButtonBar(panel);
    for (const RibbonElement& element : layout.elements)
    {
        if (element.kind == RibbonElementKind::Button)
        {
            buttons->AddButton(element.command, element.caption,
                               ImageOrBlank(LargeImage(element.largeImage), 32),
                               ImageOrBlank(SmallImage(element.smallImage), 16), wxNullBitmap,
                               wxNullBitmap, wxRIBBON_BUTTON_NORMAL, PromptText(element.command));
            continue;
        }
        // A check box: a small toggle whose icon is a check box.
        buttons->AddButton(element.command, element.caption, ImageOrBlank(wxBitmap(), 32),
                           bar->CheckBoxIcon(false), wxNullBitmap, wxNullBitmap,
                           wxRIBBON_BUTTON_TOGGLE, PromptText(element.command));
        buttons->SetButtonMaxSizeClass(element.command, wxRIBBON_BUTTONBAR_BUTTON_MEDIUM);
        bar->RegisterCheckBox(buttons, element.command);
    }
}
} // namespace

CCustomMFCRibbonBar::CCustomMFCRibbonBar(wxWindow* parent)
    : wxRibbonBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                  wxRIBBON_BAR_SHOW_PAGE_LABELS | wxRIBBON_BAR_SHOW_PANEL_EXT_BUTTONS |
                      wxRIBBON_BAR_FLOW_HORIZONTAL)
{
}

void CCustomMFCRibbonBar::Build()
{
    // One tab a page, in the order of the pages' table; the tab's panels
    // come from the ribbon's layout.
    const auto& categories = RibbonCategories();
    for (const PageEntry& entry : Pages())
    {
        auto* page = new wxRibbonPage(this, wxID_ANY, entry.tab);
        if (entry.index < static_cast<int>(categories.size()))
            for (const RibbonPanelLayout& panel : categories[entry.index].panels)
                AddPanel(page, panel, this);
    }

    auto styleMenu = std::make_unique<wxMenu>();
    for (std::uint32_t look = kFirstOffice2007Look; look <= kLastLook; ++look)
        styleMenu->AppendCheckItem(static_cast<int>(look), LookMenuText(look));
    auto* style = new CTabRowButton(this, kStyleCaption, std::move(styleMenu));
    style->SetToolTip(wxString(kStyleTooltip) + "\n" + kStyleDescription);
    AddTabRowElement(style);

    auto* about = new CTabRowButton(this, wc::ID_APP_ABOUT, wxString(),
                                    res::StripImage(res::kPanelImages, kAboutButtonImage, 16));
    about->SetToolTip(PromptText(wc::ID_APP_ABOUT));
    AddTabRowElement(about);

    Realize();
}

wxColour CCustomMFCRibbonBar::ApplyLook(std::uint32_t look)
{
    const LookStyle style = StyleForLook(look);
    const bool isFlat = dynamic_cast<wxRibbonAUIArtProvider*>(GetArtProvider()) != nullptr;
    if (style.art == RibbonArt::Flat && !isFlat)
        SetArtProvider(new wxRibbonAUIArtProvider());
    else if (style.art == RibbonArt::Office && isFlat)
        SetArtProvider(new wxRibbonMSWArtProvider());
    if (style.setsScheme)
        GetArtProvider()->SetColourScheme(style.primary, style.secondary, style.tertiary);
    ApplyArtColours();
    Realize();
    Refresh();
    return GetArtProvider()->GetColor(wxRIBBON_ART_TAB_CTRL_BACKGROUND_COLOUR);
}

bool CCustomMFCRibbonBar::ActivateCategory(int index)
{
    PostCategoryActivation(index);
    if (index < 0 || static_cast<size_t>(index) >= GetPageCount())
        return false;
    if (!SetActivePage(static_cast<size_t>(index)))
        return false;
    // The window may have changed size while another page was shown.
    CallAfter(&CCustomMFCRibbonBar::RealizeActivePage);
    return true;
}

void CCustomMFCRibbonBar::PostCategoryActivation(int index)
{
    if (wxWindow* mainWindow = MainWindow())
        platform::PostMessage(mainWindow, wc::WM_OPEN_CATEGORY, index, index);
}

void CCustomMFCRibbonBar::OnPageChanging(wxRibbonBarEvent& event)
{
    // A click on a tab: the page switch is posted before the tab becomes active.
    PostCategoryActivation(GetPageNumber(event.GetPage()));
    event.Skip();
}

void CCustomMFCRibbonBar::OnButtonClicked(wxRibbonButtonBarEvent& event)
{
    if (wxWindow* mainWindow = MainWindow())
        platform::SendCommand(mainWindow, event.GetId());
}

void CCustomMFCRibbonBar::AddTabRowElement(CTabRowButton* element)
{
    m_tabRowElements.push_back(element);
    int width = kTabRowGap;
    for (CTabRowButton* each : m_tabRowElements)
        width += each->GetSize().x + kTabRowGap;
    SetTabCtrlMargins(0, width);
    PlaceTabRowElements();
}

void CCustomMFCRibbonBar::RegisterCheckBox(wxRibbonButtonBar* bar, int command)
{
    m_checkBoxes.push_back({bar, command, false});
}

bool CCustomMFCRibbonBar::IsCheckBoxChecked(int command) const
{
    for (const CheckBox& box : m_checkBoxes)
        if (box.command == command)
            return box.checked;
    return false;
}

std::vector<int> CCustomMFCRibbonBar::GetCheckBoxCommands() const
{
    std::vector<int> commands;
    for (const CheckBox& box : m_checkBoxes)
        commands.push_back(box.command);
    return commands;
}

// Drawn here, as the ribbon draws its other parts: the toolkit's theme would
// draw its check box from a vector image, and the library for those (some
// megabytes resident) is needed by nothing else the radio page shows.
wxBitmap CCustomMFCRibbonBar::CheckBoxIcon(bool checked)
{
    wxBitmap icon(16, 16, 32);
    icon.UseAlpha();
    {
        wxMemoryDC dc(icon);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        if (std::unique_ptr<wxGraphicsContext> gc{wxGraphicsContext::Create(dc)})
        {
            gc->SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
            gc->SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
            gc->DrawRoundedRectangle(1.5, 1.5, 13, 13, 2);
            if (checked)
            {
                gc->SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT), 2));
                const wxPoint2DDouble mark[] = {{4.5, 8}, {7, 10.5}, {11.5, 5}};
                gc->StrokeLines(WXSIZEOF(mark), mark);
            }
        }
    }
    return icon;
}

void CCustomMFCRibbonBar::UpdateCheckBoxes()
{
    wxWindow* mainWindow = MainWindow();
    if (!mainWindow)
        return;
    for (CheckBox& box : m_checkBoxes)
    {
        wxUpdateUIEvent update(box.command);
        update.SetEventObject(box.bar);
        if (!mainWindow->ProcessWindowEvent(update))
            continue; // no handler now: the check box keeps what it shows
        if (update.GetSetEnabled())
            box.bar->EnableButton(box.command, update.GetEnabled());
        if (update.GetSetChecked() && update.GetChecked() != box.checked)
        {
            box.checked = update.GetChecked();
            box.bar->ToggleButton(box.command, box.checked);
            box.bar->SetButtonIcon(box.command, CheckBoxIcon(false), CheckBoxIcon(box.checked));
        }
    }
}

void CCustomMFCRibbonBar::OnIdle(wxIdleEvent& event)
{
    if (IsShownOnScreen())
        UpdateCheckBoxes();
    event.Skip();
}

void CCustomMFCRibbonBar::OnSize(wxSizeEvent& event)
{
    PlaceTabRowElements();
    // The page only ever shrinks its panels as room goes; laid out anew from
    // their whole sizes, they get their captions back when room comes back.
    if (event.GetSize().x != m_nLaidOutWidth)
    {
        m_nLaidOutWidth = event.GetSize().x;
        CallAfter(&CCustomMFCRibbonBar::RealizeActivePage);
    }
    event.Skip();
}

void CCustomMFCRibbonBar::RealizeActivePage()
{
    if (wxRibbonPage* page = GetPage(GetActivePage()))
    {
        page->Realize();
        page->Refresh();
    }
}

void CCustomMFCRibbonBar::PlaceTabRowElements()
{
    int x = GetClientSize().x - kTabRowGap;
    for (auto it = m_tabRowElements.rbegin(); it != m_tabRowElements.rend(); ++it)
    {
        x -= (*it)->GetSize().x;
        (*it)->Move(x, 1);
        x -= kTabRowGap;
    }
}

void CCustomMFCRibbonBar::ApplyArtColours()
{
    if (!GetArtProvider())
        return;
    const wxColour background = GetArtProvider()->GetColor(wxRIBBON_ART_TAB_CTRL_BACKGROUND_COLOUR);
    const wxColour text = GetArtProvider()->GetColor(wxRIBBON_ART_TAB_LABEL_COLOUR);
    for (CTabRowButton* element : m_tabRowElements)
        element->SetColours(background, text);
}

void CCustomMFCRibbonBar::OnContextMenu(wxContextMenuEvent& /*event*/)
{
    // The ribbon's own pop-up menu is not offered.
}
