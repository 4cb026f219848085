#include "frame/MainFrame.h"

#include "core/CachedSettings.h"
#include "core/Identifiers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/SiteAddresses.h"
#include "frame/ApplicationLook.h"
#include "frame/AutoStart.h"
#include "frame/ChildFrame.h"
#include "frame/CustomMFCRibbonApplicationButton.h"
#include "frame/CustomMFCRibbonBar.h"
#include "frame/PageTable.h"
#include "frame/PageView.h"
#include "frame/RibbonLayout.h"
#include "frame/StatusPanes.h"
#include "frame/TrayIcon.h"
#include "frame/TrayMenuCustomizeDlg.h"
#include "frame/WindowPlacement.h"
#include "platform/Browser.h"
#include "platform/ModalDialogs.h"
#include "platform/WindowGeometry.h"
#include "res/Resources.h"

#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <algorithm>
#include <utility>

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_MENU(wc::ID_TRAY_EXIT, CMainFrame::OnTrayExit)
    EVT_MENU_RANGE(wc::ID_VIEW_APPLOOK_WIN_2000, wc::ID_VIEW_APPLOOK_OFF_2007_AQUA, CMainFrame::OnApplicationLookCommand)
    EVT_UPDATE_UI_RANGE(wc::ID_VIEW_APPLOOK_WIN_2000, wc::ID_VIEW_APPLOOK_OFF_2007_AQUA, CMainFrame::OnUpdateApplicationLook)
    EVT_MENU(wc::ID_TRAY_SHOW, CMainFrame::OnTrayShow)
    EVT_MENU(wc::ID_TRAY_CUSTOMIZE_MENU, CMainFrame::OnCustomizeMenu)
    EVT_MENU(wc::ID_PROMO_OPEN_IN_BROWSER, CMainFrame::OnOpenPromoSite)
    EVT_MENU(wc::ID_PROMO_REFRESH, CMainFrame::OnReloadPromoPage)
    EVT_MENU(wc::ID_STORE_OPEN_IN_BROWSER, CMainFrame::OnOpenStoreSite)
    EVT_MENU(wc::ID_STORE_REFRESH, CMainFrame::OnReloadStorePage)
    EVT_MENU(wc::ID_AUTO_START, CMainFrame::OnAutoStart)
    EVT_UPDATE_UI(wc::ID_AUTO_START, CMainFrame::OnUpdateAutoStart)
    EVT_MENU(wc::ID_AUTO_PLAY, CMainFrame::OnAutoPlay)
    EVT_UPDATE_UI(wc::ID_AUTO_PLAY, CMainFrame::OnUpdateAutoPlay)
    EVT_MENU(wc::ID_HIDE_TO_TRAY, CMainFrame::OnHideToTray)
    EVT_APP_MESSAGE(wc::WM_UPDATE_STATUS_PANES, CMainFrame::OnUpdateStatusPanesMessage)
    EVT_APP_MESSAGE(wc::WM_OPEN_CATEGORY, CMainFrame::OnOpenCategory)
    EVT_APP_MESSAGE(wc::WM_NEXT_APPLICATION_LOOK, CMainFrame::OnNextApplicationLookMessage)
wxEND_EVENT_TABLE()
// clang-format on

namespace
{
const wxSize kDefaultClientSize(760, 560);
} // namespace

CMainFrame::CMainFrame(wxDocManager* manager, std::uint32_t& appLook)
    : m_pDocManagerRef(manager), m_rAppLook(appLook)
{
    m_rAppLook = static_cast<std::uint32_t>(
        GetWorkspaceInt(setting::ApplicationLook.name, setting::ApplicationLook.defaultValue));
}

CMainFrame::~CMainFrame()
{
    // The pages live in this window: close them while their frames still exist.
    if (m_pDocManagerRef)
        m_pDocManagerRef->CloseDocuments(true);
    RemoveTrayIcon();
}

bool CMainFrame::LoadFrame(long /*requestedStyle*/)
{
    if (!Create(m_pDocManagerRef, nullptr, wxID_ANY, wc::kAppTitle, wxDefaultPosition,
                wxDefaultSize, kFrameStyle))
        return false;
    // The document framework closes every page before a close goes ahead, and
    // its handler runs before those of the event table. The close button only
    // hides the window, and the radio page must go on playing, so our handler
    // is bound after the framework's, which makes it run first.
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnCloseWindow, this);
    SetIcons(res::AppIconBundle());
    m_pTrayIcon = std::make_unique<CTrayIcon>(*this);
    m_pTrayIcon->Add();

    // The application button sits left of the ribbon, on the ribbon's colour.
    m_pRibbonRow = new wxPanel(this, wxID_ANY);
    m_MainButton = new CCustomMFCRibbonApplicationButton(
        m_pRibbonRow, res::StripImage(res::kAppButtonImage, 0, 26), kAppButtonTooltip);
    m_wndRibbonBar = new CCustomMFCRibbonBar(m_pRibbonRow);
    auto* ribbonRow = new wxBoxSizer(wxHORIZONTAL);
    ribbonRow->Add(m_MainButton, wxSizerFlags().Top());
    ribbonRow->Add(m_wndRibbonBar, wxSizerFlags(1).Expand());
    m_pRibbonRow->SetSizer(ribbonRow);

    m_pPageArea = new wxPanel(this, wxID_ANY);
    m_pPageSizer = new wxBoxSizer(wxVERTICAL);
    m_pPageArea->SetSizer(m_pPageSizer);
    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(m_pRibbonRow, wxSizerFlags().Expand());
    layout->Add(m_pPageArea, wxSizerFlags(1).Expand());
    SetSizer(layout);

    SetClientSize(kDefaultClientSize);
    OnApplicationLook(m_rAppLook); // the ribbon is drawn in the stored look from the start
    m_wndRibbonBar->Build();
    ApplyLookToWindows();
    m_pStatusPanes = new CStatusPanes(this);
    SetStatusBar(m_pStatusPanes);

    if (const auto stored = LoadWindowPlacement())
    {
        const int display = wxDisplay::GetFromPoint(stored->GetTopLeft());
        SetSize(FitRectToArea(
            *stored, wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea()));
    }
    else
        Centre();

    wxAcceleratorEntry keys[] = {
        wxAcceleratorEntry(wxACCEL_CTRL, 'N', wc::ID_FILE_NEW),
        wxAcceleratorEntry(wxACCEL_CTRL, 'O', wc::ID_FILE_OPEN),
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(keys), keys));

    // Activating the stored category posts the message that opens its page
    // once the message loop runs. A stored value naming no category opens
    // the first one.
    int category = g_pCachedSettings ? g_pCachedSettings->LastCategory() : 0;
    if (!PageAt(category))
        category = 0;
    m_wndRibbonBar->ActivateCategory(category);
    FitRibbonHeight();
    return true;
}

void CMainFrame::FitRibbonHeight()
{
    // The ribbon knows its height once it is realised and a category is active.
    m_wndRibbonBar->SetMinSize(wxSize(-1, m_wndRibbonBar->GetBestSize().y));
    m_pRibbonRow->Layout();
    Layout();
}

// ---- Pages -------------------------------------------------------------

bool CMainFrame::TryBefore(wxEvent& event)
{
    // An event from inside a page was offered to that page's view by the
    // page frame already; the views must not see it a second time.
    for (auto* window = dynamic_cast<wxWindow*>(event.GetEventObject()); window;
         window = window->GetParent())
    {
        if (dynamic_cast<CChildFrame*>(window))
            return wxFrame::TryBefore(event);
        if (window == this)
            break;
    }
    return wxDocParentFrame::TryBefore(event);
}

void CMainFrame::AttachPage(CChildFrame* page)
{
    m_pages.push_back(page);
    m_pPageSizer->Add(page, 1, wxEXPAND);
    ShowNewestPage();
}

void CMainFrame::DetachPage(CChildFrame* page)
{
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end());
    m_pPageSizer->Detach(page);
    ShowNewestPage();
}

// Like maximised child windows: the newest page covers the others.
void CMainFrame::ShowNewestPage()
{
    for (CChildFrame* page : m_pages)
        page->Show(page == m_pages.back());
    m_pPageArea->Layout();
}

void CMainFrame::PlacePage(CPageView* view, const char* flagName)
{
    CChildFrame* page = view ? view->GetChildFrame() : nullptr;
    if (!page)
        return;
    m_pPageArea->Layout();
    if (GetSettingInt(flagName, 0) != 0)
        return;
    // Form pages have a size of their own; other pages keep the size they have.
    const wxSize pageSize = view->IsFormPage() ? page->GetBestSize() : page->GetSize();
    const int ribbonHeight = m_pRibbonRow->GetBestSize().y;
    // The outer size is worked out here: right after a new client size the
    // toolkit still reports the old outer one.
    const wxSize outer = ClientToWindowSize(wxSize(pageSize.x, pageSize.y + ribbonHeight));
    // The window keeps its size and place where they fit the work area (the
    // screen less the desktop's panels); otherwise it moves, and only shrinks
    // when the area is smaller than the window.
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
    SetSize(FitRectToArea(wxRect(GetPosition(), outer), area));
    WriteSettingInt(flagName, 1);
}

void CMainFrame::OpenCategoryPage(int index)
{
    wxDocManager* manager = GetDocumentManager();
    const wxList& templates = manager->GetTemplates();
    if (templates.IsEmpty())
    {
        ShowForStart();
        return;
    }
    wxDocTemplate* chosen = nullptr;
    int position = 0;
    for (auto node = templates.GetFirst(); node; node = node->GetNext(), ++position)
    {
        chosen = static_cast<wxDocTemplate*>(node->GetData());
        if (position == index)
            break;
    }
    manager->CloseDocuments(true);
    // The new page opens once the closed ones are gone and the current
    // message has been handled.
    CallAfter([this, chosen] { OpenTemplatePage(chosen); });
}

void CMainFrame::ShowPage(int index)
{
    if (m_wndRibbonBar && m_wndRibbonBar->GetActivePage() != index)
        m_wndRibbonBar->ActivateCategory(index);
}

void CMainFrame::OnOpenCategory(platform::CAppMessageEvent& event)
{
    OpenCategoryPage(static_cast<int>(event.GetWParam()));
}

void CMainFrame::ShowOnceStartPageIsPlaced(StartShow how)
{
    m_startShow = how;
}

void CMainFrame::ShowForStart()
{
    const auto how = std::exchange(m_startShow, std::nullopt);
    if (!how || *how == StartShow::Hidden)
        return;
    if (*how == StartShow::Iconized)
        Iconize(true);
    Show(true);
    Update();
}

void CMainFrame::OpenTemplatePage(wxDocTemplate* chosen)
{
    // The start page has its first fit before the window is first shown, so
    // that the fit can never undo a size the person gives the window.
    struct ShowWhenDone
    {
        CMainFrame* frame;
        ~ShowWhenDone() { frame->ShowForStart(); }
    } showWhenDone{this};

    // The template must still be one of ours: a stale pointer is never used.
    if (!GetDocumentManager()->GetTemplates().Member(chosen))
        return;
    wxDocument* document = chosen->CreateDocument(wxString(), wxDOC_NEW);
    if (!document)
        return;
    document->SetDocumentName(chosen->GetDocumentName());
    if (!document->OnNewDocument())
        document->DeleteAllViews();
}

// ---- The web pages ---------------------------------------------------------

void CMainFrame::OnOpenPromoSite(wxCommandEvent& /*event*/)
{
    platform::OpenInBrowser(PromoSiteAddress());
}

void CMainFrame::OnOpenStoreSite(wxCommandEvent& /*event*/)
{
    platform::OpenInBrowser(StoreSiteAddress());
}

void CMainFrame::OnReloadPromoPage(wxCommandEvent& /*event*/)
{
    // Only the promotion page reacts; another page ignores the message.
    if (wxView* view = GetDocumentManager()->GetCurrentView())
        platform::PostMessage(view, wc::WM_RELOAD_PROMO);
}

void CMainFrame::OnReloadStorePage(wxCommandEvent& /*event*/)
{
    if (wxView* view = GetDocumentManager()->GetCurrentView())
        platform::PostMessage(view, wc::WM_RELOAD_STORE);
}

// ---- Looks -------------------------------------------------------------

void CMainFrame::OnApplicationLook(std::uint32_t look)
{
    wxBusyCursor wait;
    m_rAppLook = look;
    ApplyLookToWindows();
    Refresh();
    Update();
    WriteWorkspaceInt(setting::ApplicationLook.name, static_cast<int>(look));
}

void CMainFrame::NextApplicationLook()
{
    wxBusyCursor wait;
    OnApplicationLook(::NextApplicationLook(m_rAppLook));
}

void CMainFrame::ApplyLookToWindows()
{
    if (!m_wndRibbonBar)
        return;
    // The application button and the row around the ribbon take its colour.
    const wxColour ribbonColour = m_wndRibbonBar->ApplyLook(m_rAppLook);
    m_pRibbonRow->SetBackgroundColour(ribbonColour);
    m_MainButton->SetRibbonColour(ribbonColour);
    m_pRibbonRow->Refresh();
}

void CMainFrame::OnApplicationLookCommand(wxCommandEvent& event)
{
    OnApplicationLook(static_cast<std::uint32_t>(event.GetId()));
}

void CMainFrame::OnUpdateApplicationLook(wxUpdateUIEvent& event)
{
    event.Check(static_cast<std::uint32_t>(event.GetId()) == m_rAppLook);
}

void CMainFrame::OnNextApplicationLookMessage(platform::CAppMessageEvent& /*event*/)
{
    NextApplicationLook();
}

// ---- Tray, hiding and exiting ------------------------------------------

void CMainFrame::RemoveTrayIcon()
{
    if (!m_pTrayIcon)
        return;
    m_pTrayIcon->Remove();
    m_pTrayIcon.release()->Destroy(); // deleted once its pending events are done
}

bool CMainFrame::HasTrayIcon() const
{
    return m_pTrayIcon && m_pTrayIcon->IsAdded();
}

wxString CMainFrame::GetTrayTip() const
{
    return m_pTrayIcon ? m_pTrayIcon->GetTip() : wxString();
}

void CMainFrame::OnTrayShow(wxCommandEvent& /*event*/)
{
    BringToFront();
}

void CMainFrame::OnTrayExit(wxCommandEvent& /*event*/)
{
    RequestCloseForReal();
}

void CMainFrame::OnHideToTray(wxCommandEvent& /*event*/)
{
    HideToTray();
}

void CMainFrame::OnCustomizeMenu(wxCommandEvent& /*event*/)
{
    (new CTrayMenuCustomizeDlg(this))->Show();
}

void CMainFrame::BringToFront()
{
    m_startShow.reset();
    if (IsIconized())
        Iconize(false);
    Show(true);
    Raise();
}

void CMainFrame::HideToTray()
{
    // Without a notification area nothing could bring a hidden window back.
    if (HasTrayIcon())
        Hide();
    else
        Iconize(true);
}

void CMainFrame::OnCloseWindow(wxCloseEvent& event)
{
    // The close button and Alt+F4 only hide; a close that cannot be refused
    // takes the way out.
    if (m_bClosingForReal)
        return;
    if (!event.CanVeto())
    {
        RequestCloseForReal();
        return;
    }
    event.Veto();
    HideToTray();
}

void CMainFrame::RequestCloseForReal()
{
    // Every way out (the tray's Exit, the media controls' Quit, the session
    // ending) comes here. A modal dialog's loop, and the code that opened it,
    // may still be running below us: the window must outlive them, so they are
    // cancelled first and the close follows once the last one has returned.
    m_bCloseRequested = true;
    platform::CancelModalsForExit();
    CloseOnceNothingRunsBelow();
}

void CMainFrame::CloseOnceNothingRunsBelow()
{
    if (m_bClosingForReal)
        return;
    if (platform::IsModalRunning())
        platform::CallWhenNoModalRuns([this] { CloseOnceNothingRunsBelow(); });
    else
        CloseForReal();
}

void CMainFrame::CloseForReal()
{
    if (m_bClosingForReal)
        return;
    m_bClosingForReal = true;
    StoreWindowPlacement(platform::CurrentWindowRect(*this));
    GetDocumentManager()->CloseDocuments(true);
    RemoveTrayIcon();
    Destroy();
}

// ---- Status texts --------------------------------------------------------

void CMainFrame::SetStatusText(const wxString& text)
{
    m_strCurrentStatus = text;
    if (m_pTrayIcon)
        m_pTrayIcon->SetStatusText(m_strCurrentStatus);
    platform::PostMessage(this, wc::WM_UPDATE_STATUS_PANES);
}

void CMainFrame::UpdateStatusPanes()
{
    if (m_pStatusPanes)
        m_pStatusPanes->ShowTextsFor(g_pCachedSettings ? g_pCachedSettings->LastCategory() : 0,
                                     m_strCurrentStatus);
}

void CMainFrame::OnUpdateStatusPanesMessage(platform::CAppMessageEvent& /*event*/)
{
    UpdateStatusPanes();
}

// ---- Start with the session and auto-play ---------------------------------

void CMainFrame::OnAutoStart(wxCommandEvent& /*event*/)
{
    // Writes the entry when there is none; removes it in every other state.
    m_nAutoStartState = ::SetAutoStart(m_nAutoStartState == kAutoStartOff);
}

void CMainFrame::OnUpdateAutoStart(wxUpdateUIEvent& event)
{
    // The file system is asked once after start-up and once after each click.
    if (m_nAutoStartState == kAutoStartNotKnown)
        m_nAutoStartState = QueryAutoStart();
    event.Enable(m_nAutoStartState != kAutoStartUnavailable);
    event.Check(m_nAutoStartState == kAutoStartOn);
}

void CMainFrame::OnAutoPlay(wxCommandEvent& /*event*/)
{
    WriteSettingInt(setting::AutoPlay.name, ToggledValue(GetSetting(setting::AutoPlay)));
    m_nAutoPlay = GetSetting(setting::AutoPlay);
}

void CMainFrame::OnUpdateAutoPlay(wxUpdateUIEvent& event)
{
    if (m_nAutoPlay == -1)
        m_nAutoPlay = GetSetting(setting::AutoPlay);
    event.Check(m_nAutoPlay != 0);
}
