#include "frame/MainFrame.h"

#include "app/CachedSettings.h"
#include "app/Identifiers.h"
#include "frame/ChildFrame.h"
#include "frame/WindowPlacement.h"
#include "res/Resources.h"

#include <wx/display.h>
#include <wx/sizer.h>

#include <algorithm>

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame) EVT_CLOSE(CMainFrame::OnCloseWindow)
    EVT_APP_MESSAGE(wc::WM_OPEN_CATEGORY, CMainFrame::OnOpenCategory)
        EVT_APP_MESSAGE(wc::WM_OPEN_TEMPLATE_PAGE, CMainFrame::OnOpenTemplatePage)
            wxEND_EVENT_TABLE()

                namespace
{
    const wxSize kDefaultClientSize(760, 520);
}

CMainFrame::CMainFrame(wxDocManager* manager) : m_pDocManagerRef(manager) {}

CMainFrame::~CMainFrame()
{
    // The pages live in this window: close them while their frames still exist.
    if (m_pDocManagerRef)
        m_pDocManagerRef->CloseDocuments(true);
}

bool CMainFrame::LoadFrame(long /*requestedStyle*/)
{
    if (!Create(m_pDocManagerRef, nullptr, wxID_ANY, wc::kAppTitle, wxDefaultPosition,
                wxDefaultSize, kFrameStyle))
        return false;
    SetIcons(res::AppIconBundle());

    m_pPageArea = new wxPanel(this, wxID_ANY);
    m_pPageSizer = new wxBoxSizer(wxVERTICAL);
    m_pPageArea->SetSizer(m_pPageSizer);
    auto* layout = new wxBoxSizer(wxVERTICAL);
    layout->Add(m_pPageArea, 1, wxEXPAND);
    SetSizer(layout);
    SetClientSize(kDefaultClientSize);

    if (const auto stored = LoadWindowPlacement())
    {
        const int display = wxDisplay::GetFromPoint(stored->GetTopLeft());
        const wxRect area =
            wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
        SetSize(FitRectToArea(*stored, area));
    }
    else
        Centre();

    wxAcceleratorEntry keys[] = {
        wxAcceleratorEntry(wxACCEL_CTRL, 'N', wc::ID_FILE_NEW),
        wxAcceleratorEntry(wxACCEL_CTRL, 'O', wc::ID_FILE_OPEN),
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(keys), keys));

    // The start category's page opens once the message loop runs.
    const int category = g_pCachedSettings ? g_pCachedSettings->LastCategory() : 0;
    platform::PostMessage(this, wc::WM_OPEN_CATEGORY, category, category);
    return true;
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

void CMainFrame::OpenCategoryPage(int index)
{
    wxDocManager* manager = GetDocumentManager();
    const wxList& templates = manager->GetTemplates();
    if (templates.IsEmpty())
        return;
    wxDocTemplate* chosen = nullptr;
    int position = 0;
    for (auto node = templates.GetFirst(); node; node = node->GetNext(), ++position)
    {
        chosen = static_cast<wxDocTemplate*>(node->GetData());
        if (position == index)
            break;
    }
    manager->CloseDocuments(true);
    platform::PostMessage(this, wc::WM_OPEN_TEMPLATE_PAGE, reinterpret_cast<std::intptr_t>(chosen));
}

void CMainFrame::OnOpenCategory(platform::CAppMessageEvent& event)
{
    OpenCategoryPage(static_cast<int>(event.GetWParam()));
}

void CMainFrame::OnOpenTemplatePage(platform::CAppMessageEvent& event)
{
    auto* chosen = reinterpret_cast<wxDocTemplate*>(event.GetWParam());
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

void CMainFrame::BringToFront()
{
    if (IsIconized())
        Iconize(false);
    Show(true);
    Raise();
}

void CMainFrame::CloseForReal()
{
    StoreWindowPlacement(GetRect());
    GetDocumentManager()->CloseDocuments(true);
    Destroy();
}

void CMainFrame::OnCloseWindow(wxCloseEvent& /*event*/)
{
    CloseForReal();
}
