#pragma once
// The hot-key settings page: the four system-wide hot keys, each in a hot-key
// control with an Assign and a Clear button. Every assignment is stored at
// once and then tried out by registering all four stored hot keys on the
// page's own window, so that a combination that is already taken is reported
// while the user is still on the page. The page does nothing when one of its
// keys is pressed; the radio page registers them again for itself.

#include "frame/PageView.h"

#include <cstddef>

class CHotKeyCtrl;
class wxPanel;

class CRadioSettingsView : public CPageView
{
public:
    bool IsFormPage() const override { return true; }

    // Shows the four stored hot keys and registers them on the page, in the
    // actions' order; each failed registration gets its own message box.
    void LoadHotKeysIntoPage();
    // Shows one stored hot key in its control and registers it on the page
    // under the id; `message` is shown when the registration fails.
    void LoadHotKeyIntoControl(const wxString& stem, CHotKeyCtrl& control, const wxString& message,
                               int id);
    // Stores the combination the control shows. On success all four hot keys
    // are loaded again; on failure `message` is shown and nothing else changes.
    void AssignHotKey(const wxString& stem, CHotKeyCtrl& control, const wxString& message);

    // The page's window, which holds the page's registrations.
    wxPanel* GetForm() const { return m_pForm; }
    // The control of a row of the page (see HotKeyPageRow).
    CHotKeyCtrl* GetHotKeyCtrl(std::size_t row) const;

protected:
    void CreateContent(CChildFrame* frame) override;
    void OnInitialUpdate() override;

private:
    void BindControls();
    void AssignRow(std::size_t row);
    void ClearRow(std::size_t row);
    void ShowFailure(const wxString& message);

    void OnAssignPlay(wxCommandEvent& event);
    void OnAssignPlayNext(wxCommandEvent& event);
    void OnAssignPlayPrev(wxCommandEvent& event);
    void OnAssignStop(wxCommandEvent& event);
    void OnClearPlay(wxCommandEvent& event);
    void OnClearPlayNext(wxCommandEvent& event);
    void OnClearPlayPrev(wxCommandEvent& event);
    void OnClearStop(wxCommandEvent& event);

    wxPanel* m_pForm = nullptr;
    CHotKeyCtrl* m_hotKeyPlay = nullptr;
    CHotKeyCtrl* m_hotKeyPlayNext = nullptr;
    CHotKeyCtrl* m_hotKeyPlayPrev = nullptr;
    CHotKeyCtrl* m_hotKeyStop = nullptr;

    wxDECLARE_DYNAMIC_CLASS(CRadioSettingsView);
    wxDECLARE_EVENT_TABLE();
};
