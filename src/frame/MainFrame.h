#pragma once
// The program's one top-level window: the ribbon (the page selector and the
// command surface), the page area where exactly one page is shown, the
// two-pane status bar, and the tray icon. The ribbon bar, the tray icon and
// the status panes are classes of their own; the frame places them and
// handles its commands. Closing the window only hides it; the tray menu's
// Exit ends the program.

#include "frame/StatusPanes.h"
#include "platform/Messages.h"

#include <wx/docview.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CChildFrame;
class CCustomMFCRibbonApplicationButton;
class CCustomMFCRibbonBar;
class CPageView;
class CTrayIcon;
class wxBoxSizer;

class CMainFrame : public wxDocParentFrame
{
public:
    // Caption, system menu, sizing border and close box; no minimise or
    // maximise box, whatever style the caller asks for.
    static constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxRESIZE_BORDER | wxCLOSE_BOX;

    // `appLook` is the application's current look, which the frame keeps up to date.
    CMainFrame(wxDocManager* manager, std::uint32_t& appLook);
    ~CMainFrame() override;

    // Creates the window and everything in it; false when it could not be created.
    bool LoadFrame(long requestedStyle);

    // Pages: the area they are created in, and their placement in it.
    wxWindow* GetPageArea() const { return m_pPageArea; }
    void AttachPage(CChildFrame* page);
    void DetachPage(CChildFrame* page);
    const std::vector<CChildFrame*>& GetPages() const { return m_pages; }
    // Run by every page when it first shows: the first time a page is ever
    // shown, the main window is sized to hold it (once per page, ever).
    void PlacePage(CPageView* view, const char* flagName);

    // Closes all pages and opens the page of the template with that index;
    // an index outside the templates gives the last template.
    void OpenCategoryPage(int index);
    // Brings the page with that index (see PageTable.h) up as choosing its
    // tab does, unless it shows or is being opened already.
    void ShowPage(int index);

    // Publishes what the player is doing: the tray tooltip at once, the first
    // status pane once the posted refresh is handled.
    void SetStatusText(const wxString& text);
    void UpdateStatusPanes();

    // The application looks.
    void OnApplicationLook(std::uint32_t look);
    void NextApplicationLook();
    std::uint32_t GetApplicationLook() const { return m_rAppLook; }

    // How the window first appears; it does so once the start page has been
    // opened and placed (or has failed to open).
    enum class StartShow
    {
        Shown,
        Hidden,
        Iconized
    };
    void ShowOnceStartPageIsPlaced(StartShow how);
    // True from then until the start page has been placed and the window
    // shown (or left hidden) for the start.
    bool IsStartShowPending() const { return m_startShow.has_value(); }

    // Brings the window up from hidden or iconified and activates it.
    void BringToFront();
    // Hides the window (iconifies it when there is no notification area).
    void HideToTray();
    // The real close: saves the placement, closes the pages, ends the program.
    void CloseForReal();
    // The one way out of the program (tray Exit, media controls' Quit, the
    // session ending): open modal dialogs are cancelled first, and the real
    // close follows once they, and a running refresh, have returned.
    void RequestCloseForReal();

    // For tests and the tray: what is shown where.
    CCustomMFCRibbonBar* GetRibbonBar() const { return m_wndRibbonBar; }
    CCustomMFCRibbonApplicationButton* GetApplicationButton() const { return m_MainButton; }
    CStatusPanes* GetStatusPanes() const { return m_pStatusPanes; }
    const wxString& GetCurrentStatus() const { return m_strCurrentStatus; }
    CTrayIcon* GetTrayIcon() const { return m_pTrayIcon.get(); }
    wxString GetTrayTip() const;
    bool HasTrayIcon() const;

protected:
    bool TryBefore(wxEvent& event) override;

private:
    void RemoveTrayIcon();
    void FitRibbonHeight();
    void ApplyLookToWindows();

    void OnCloseWindow(wxCloseEvent& event);
    void OnOpenCategory(platform::CAppMessageEvent& event);
    void OpenTemplatePage(wxDocTemplate* chosen);
    void OnUpdateStatusPanesMessage(platform::CAppMessageEvent& event);
    void OnNextApplicationLookMessage(platform::CAppMessageEvent& event);
    void OnApplicationLookCommand(wxCommandEvent& event);
    void OnUpdateApplicationLook(wxUpdateUIEvent& event);
    void OnTrayShow(wxCommandEvent& event);
    void OnTrayExit(wxCommandEvent& event);
    void OnHideToTray(wxCommandEvent& event);
    void OnCustomizeMenu(wxCommandEvent& event);
    void OnOpenPromoSite(wxCommandEvent& event);
    void OnReloadPromoPage(wxCommandEvent& event);
    void OnOpenStoreSite(wxCommandEvent& event);
    void OnReloadStorePage(wxCommandEvent& event);
    void OnAutoStart(wxCommandEvent& event);
    void OnUpdateAutoStart(wxUpdateUIEvent& event);
    void OnAutoPlay(wxCommandEvent& event);
    void OnUpdateAutoPlay(wxUpdateUIEvent& event);
    void ShowNewestPage();
    void CloseOnceNothingRunsBelow();
    void ShowForStart();

    wxDocManager* m_pDocManagerRef;
    std::uint32_t& m_rAppLook;
    std::unique_ptr<CTrayIcon> m_pTrayIcon;
    wxString m_strCurrentStatus;
    CCustomMFCRibbonBar* m_wndRibbonBar = nullptr;
    CCustomMFCRibbonApplicationButton* m_MainButton = nullptr;
    CStatusPanes* m_pStatusPanes = nullptr;
    wxWindow* m_pRibbonRow = nullptr;
    wxWindow* m_pPageArea = nullptr;
    wxBoxSizer* m_pPageSizer = nullptr;
    std::vector<CChildFrame*> m_pages;
    bool m_bClosingForReal = false;
    bool m_bCloseRequested = false;
    std::optional<StartShow> m_startShow;
    // What the start-with-the-session and auto-play check boxes show; -1
    // until read from the autostart folder and the settings when first drawn.
    std::int32_t m_nAutoStartState = -1;
    std::int32_t m_nAutoPlay = -1;

    wxDECLARE_EVENT_TABLE();
};
