#include "radio/RadioSettingsView.h"

#include "core/Identifiers.h"
#include "core/SettingsTable.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "platform/HotKeys.h"
#include "platform/Messages.h"
#include "platform/ModalDialogs.h"
#include "radio/HotKeyCtrl.h"
#include "radio/HotKeyPageActions.h"
#include "radio/HotKeys.h"
#include "res/Resources.h"

#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <cstdint>

wxIMPLEMENT_DYNAMIC_CLASS(CRadioSettingsView, CPageView);

namespace
{
// Makes the form loadable: the compiled-in XRC files, and the handler that
// creates hot-key controls from them, which is added only once.
void PrepareFormResources()
{
    static bool handlerAdded = false;
    if (!handlerAdded)
    {
        CHotKeyCtrl::AddXmlHandler();
        handlerAdded = true;
    }
    res::LoadXrcResources();
}

// The desktop's font may need more room for a text than the form gives it. A
// label then grows on the side away from its alignment, so that a right-aligned
// label stays against the control it names, rather than cutting the text off.
void FitLabelsToTheirTexts(wxWindow* form)
{
    for (wxWindow* child : form->GetChildren())
    {
        auto* label = dynamic_cast<wxStaticText*>(child);
        if (!label)
            continue;
        wxRect rect = label->GetRect();
        const int needed = label->GetBestSize().x;
        if (needed <= rect.width)
            continue;
        if (label->HasFlag(wxALIGN_RIGHT))
            rect.x -= needed - rect.width;
        rect.width = needed;
        label->SetSize(rect);
    }
}
} // namespace

// ---- The page ----------------------------------------------------------------

void CRadioSettingsView::CreateContent(CChildFrame* frame)
{
    PrepareFormResources();
    m_pForm = wxXmlResource::Get()->LoadPanel(frame, kRadioSettingsFormName);
    if (!m_pForm)
        return;
    // The form's size in the resource is the size the main window is fitted to.
    m_pForm->SetMinSize(m_pForm->GetSize());
    FitLabelsToTheirTexts(m_pForm);
    BindControls();

    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(m_pForm, wxSizerFlags(1).Expand());
    frame->SetSizer(layout);
}

void CRadioSettingsView::BindControls()
{
    const auto control = [this](int id)
    { return dynamic_cast<CHotKeyCtrl*>(m_pForm->FindWindow(id)); };
    m_hotKeyPlay = control(IDC_HOTKEY_PLAY);
    m_hotKeyPlayNext = control(IDC_HOTKEY_PLAY_NEXT);
    m_hotKeyPlayPrev = control(IDC_HOTKEY_PLAY_PREV);
    m_hotKeyStop = control(IDC_HOTKEY_STOP);
}

CHotKeyCtrl* CRadioSettingsView::GetHotKeyCtrl(std::size_t row) const
{
    switch (row)
    {
    case kRowPlay:
        return m_hotKeyPlay;
    case kRowPlayNext:
        return m_hotKeyPlayNext;
    case kRowPlayPrev:
        return m_hotKeyPlayPrev;
    case kRowStop:
        return m_hotKeyStop;
    default:
        return nullptr;
    }
}

void CRadioSettingsView::OnInitialUpdate()
{
    wxBusyCursor wait;
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return;
    mainFrame->PlacePage(this, setting::SettingsPageFitted.name);
    platform::PostMessage(mainFrame, wc::WM_UPDATE_STATUS_PANES);
    mainFrame->SetStatusText(wxString());
    LoadHotKeysIntoPage();
}

// ---- Loading and registering -----------------------------------------------------

void CRadioSettingsView::LoadHotKeysIntoPage()
{
    if (!m_pForm)
        return;
    const auto& rows = HotKeyPageActions();
    for (std::size_t row = 0; row < rows.size(); ++row)
    {
        if (CHotKeyCtrl* control = GetHotKeyCtrl(row))
            LoadHotKeyIntoControl(rows[row].action.stem, *control, rows[row].loadFailure,
                                  rows[row].action.id);
    }
}

void CRadioSettingsView::LoadHotKeyIntoControl(const wxString& stem, CHotKeyCtrl& control,
                                               const wxString& message, int id)
{
    std::uint16_t key = 0;
    std::uint16_t controlFlags = 0;
    std::uint16_t storedFlags = 0;
    LoadHotKey(stem, key, controlFlags, storedFlags);
    // An action without a key shows an empty control, whatever modifiers are stored.
    control.SetHotKeyWord(key == 0 ? 0u : MakeHotKeyWord(key, controlFlags));

    platform::UnregisterHotKey(m_pForm, id);
    if (key != 0 && !platform::RegisterHotKey(m_pForm, id, RegistrationModifiers(storedFlags), key))
        ShowFailure(message);
}

// ---- Assigning ------------------------------------------------------------------

void CRadioSettingsView::AssignHotKey(const wxString& stem, CHotKeyCtrl& control,
                                      const wxString& message)
{
    const unsigned word = control.GetHotKey();
    const auto key = static_cast<std::uint16_t>(word & 0xFF);
    const auto controlFlags = static_cast<std::uint16_t>((word >> 8) & 0xFF);
    if (!StoreHotKey(stem, key, controlFlags))
    {
        ShowFailure(message);
        return;
    }
    // Registering everything again tells at once whether the new key is free.
    LoadHotKeysIntoPage();
}

void CRadioSettingsView::AssignRow(std::size_t row)
{
    const HotKeyPageAction& entry = HotKeyPageActions()[row];
    if (CHotKeyCtrl* control = GetHotKeyCtrl(row))
        AssignHotKey(entry.action.stem, *control, entry.storeFailure);
}

void CRadioSettingsView::ClearRow(std::size_t row)
{
    CHotKeyCtrl* control = GetHotKeyCtrl(row);
    if (!control)
        return;
    control->SetHotKeyWord(0);
    AssignRow(row);
}

void CRadioSettingsView::ShowFailure(const wxString& message)
{
    CMainFrame* mainFrame = GetMainFrame();
    // As the start page, the page is filled before the window first shows:
    // the message waits until it has, so that its box comes up on the window
    // instead of alone in a corner of the screen.
    if (mainFrame && mainFrame->IsStartShowPending())
    {
        CallAfter([this, message] { ShowFailure(message); });
        return;
    }
    platform::MessageBox(message, wc::kAppTitle, wxOK | wxICON_STOP, mainFrame);
}

void CRadioSettingsView::OnAssignPlay(wxCommandEvent& /*event*/)
{
    AssignRow(kRowPlay);
}

void CRadioSettingsView::OnAssignPlayNext(wxCommandEvent& /*event*/)
{
    AssignRow(kRowPlayNext);
}

void CRadioSettingsView::OnAssignPlayPrev(wxCommandEvent& /*event*/)
{
    AssignRow(kRowPlayPrev);
}

void CRadioSettingsView::OnAssignStop(wxCommandEvent& /*event*/)
{
    AssignRow(kRowStop);
}

void CRadioSettingsView::OnClearPlay(wxCommandEvent& /*event*/)
{
    ClearRow(kRowPlay);
}

void CRadioSettingsView::OnClearPlayNext(wxCommandEvent& /*event*/)
{
    ClearRow(kRowPlayNext);
}

void CRadioSettingsView::OnClearPlayPrev(wxCommandEvent& /*event*/)
{
    ClearRow(kRowPlayPrev);
}

void CRadioSettingsView::OnClearStop(wxCommandEvent& /*event*/)
{
    ClearRow(kRowStop);
}

// The buttons' clicks come from inside the page; its frame hands them to the
// view before anyone else. The table comes last: the formatter would run it
// into whatever followed.
// clang-format off
wxBEGIN_EVENT_TABLE(CRadioSettingsView, CPageView)
    EVT_BUTTON(IDC_ASSIGN_PLAY, CRadioSettingsView::OnAssignPlay)
    EVT_BUTTON(IDC_ASSIGN_PLAY_NEXT, CRadioSettingsView::OnAssignPlayNext)
    EVT_BUTTON(IDC_ASSIGN_PLAY_PREV, CRadioSettingsView::OnAssignPlayPrev)
    EVT_BUTTON(IDC_ASSIGN_STOP, CRadioSettingsView::OnAssignStop)
    EVT_BUTTON(IDC_CLEAR_PLAY, CRadioSettingsView::OnClearPlay)
    EVT_BUTTON(IDC_CLEAR_PLAY_NEXT, CRadioSettingsView::OnClearPlayNext)
    EVT_BUTTON(IDC_CLEAR_PLAY_PREV, CRadioSettingsView::OnClearPlayPrev)
    EVT_BUTTON(IDC_CLEAR_STOP, CRadioSettingsView::OnClearStop)
wxEND_EVENT_TABLE()
