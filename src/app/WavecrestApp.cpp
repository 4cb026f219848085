#include "app/WavecrestApp.h"

#include "app/AboutDlg.h"
#include "app/MediaControls.h"
#include "app/PageDocManager.h"
#include "app/WebPageModule.h"
#include "core/Identifiers.h"
#include "directorypage/StationDirectoryDoc.h"
#include "directorypage/StationDirectoryView.h"
#include "frame/MainFrame.h"
#include "frame/PageTable.h"
#include "platform/Files.h"
#include "platform/ModalDialogs.h"
#include "platform/SingleInstance.h"
#include "platform/Termination.h"
#include "platform/ToolkitStart.h"
#include "platform/UserFolders.h"
#include "radio/RadioSettingsDoc.h"
#include "radio/RadioSettingsView.h"
#include "radio/WavecrestDoc.h"
#include "radio/WavecrestView.h"
#include "res/Resources.h"

#include <wx/filefn.h>
#include <wx/tooltip.h>

#include <vector>

wxIMPLEMENT_APP_NO_MAIN(CWavecrestApp);

namespace
{
// The page classes linked into the program (naming them here links them
// in); the web pages' come from their module, by name.
wxClassInfo* LinkedPageClass(const wxString& name)
{
    wxClassInfo* const linked[] = {
        CLASSINFO(CWavecrestDoc),        CLASSINFO(CWavecrestView),
        CLASSINFO(CRadioSettingsDoc),    CLASSINFO(CRadioSettingsView),
        CLASSINFO(CStationDirectoryDoc), CLASSINFO(CStationDirectoryView),
    };
    for (wxClassInfo* info : linked)
        if (name == info->GetClassName())
            return info;
    // A test program may have the web pages linked in: they are known at once.
    return wxClassInfo::FindClass(name);
}

// Makes the pages of one kind. A web page's classes are looked up when the
// first one is made: they come from a module that is loaded only then
// (FindWebPageClass), so the web engine stays out of a start that never
// shows a web page.
class CPageTemplate : public wxDocTemplate
{
public:
    CPageTemplate(wxDocManager* manager, const PageEntry& page)
        : wxDocTemplate(manager, page.description, wxString(), wxString(), wxString(),
                        page.typeName, page.typeName, LinkedPageClass(page.documentClass),
                        LinkedPageClass(page.viewClass)),
          m_strDocumentClass(page.documentClass), m_strViewClass(page.viewClass)
    {
    }

protected:
    wxDocument* DoCreateDocument() override
    {
        if (!m_docClassInfo)
            m_docClassInfo = FindWebPageClass(m_strDocumentClass);
        return m_docClassInfo ? wxDocTemplate::DoCreateDocument() : nullptr;
    }

    wxView* DoCreateView() override
    {
        if (!m_viewClassInfo)
            m_viewClassInfo = FindWebPageClass(m_strViewClass);
        return m_viewClassInfo ? wxDocTemplate::DoCreateView() : nullptr;
    }

private:
    const wxString m_strDocumentClass;
    const wxString m_strViewClass;
};
} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CWavecrestApp, wxApp)
    EVT_MENU(wc::ID_APP_ABOUT, CWavecrestApp::OnAppAbout)
    EVT_MENU(wc::ID_FILE_NEW, CWavecrestApp::OnFileNew)
    EVT_MENU(wc::ID_FILE_OPEN, CWavecrestApp::OnFileOpen)
wxEND_EVENT_TABLE()
// clang-format on

CWavecrestApp::CWavecrestApp()
{
    g_pCachedSettings = &m_cachedSettings;
}

CWavecrestApp::~CWavecrestApp()
{
    g_pCachedSettings = nullptr;
}

// The command-line options of wxApp are not ours: the program's own rules
// read the arguments, so the base OnInit (which parses them) is not called.
bool CWavecrestApp::OnInit()
{
    platform::AfterToolkitStart();
    return InitInstance();
}

bool CWavecrestApp::InitInstance()
{
    SetAppName(wc::kAppTitle);
    SetVendorName(wc::kCompanyKey);
    SetAppDisplayName(wc::kAppTitle);

    if (HandOverToRunningInstance())
    {
        m_bHandedOver = true;
        return true; // OnRun ends at once with status 0
    }

    StartPlaybackSession();
    platform::WatchModalDialogs();
    wxToolTip::Enable(true);
    res::LoadXrcResources();
    if (!RegisterDocumentTemplates())
        return false;
    if (!CreateMainFrame())
        return false;

    // Ending the session (or `kill`) closes the program the way Exit does.
    platform::OnTerminationRequest(
        []
        {
            if (auto* mainFrame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow()))
                mainFrame->RequestCloseForReal();
        });

    auto* frame = static_cast<CMainFrame*>(GetTopWindow());
    StartMediaControls(frame);
    // Without a notification area a hidden window could never be found again:
    // a hidden start starts iconified instead.
    if (m_startRequest.show)
        frame->ShowOnceStartPageIsPlaced(CMainFrame::StartShow::Shown);
    else if (!frame->HasTrayIcon())
        frame->ShowOnceStartPageIsPlaced(CMainFrame::StartShow::Iconized);
    else
        frame->ShowOnceStartPageIsPlaced(CMainFrame::StartShow::Hidden);
    frame->SetLabel(wc::kAppTitle);
    if (!m_startRequest.playlist.empty())
        m_pPlaylistOpener->Open(m_startRequest.playlist);
    return true;
}

bool CWavecrestApp::HandOverToRunningInstance()
{
    m_pSingleInstance = std::make_unique<platform::CSingleInstance>("wavecrest");
    const bool found = m_pSingleInstance->Acquire() == platform::CSingleInstance::Role::Secondary;

    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i].ToStdWstring());
    m_startRequest = InterpretCommandLine(JoinArguments(arguments),
                                          wxString(platform::ExecutablePath()).ToStdWstring());
    std::vector<std::string> utf8Arguments;
    for (int i = 1; i < argc; ++i)
        utf8Arguments.push_back(argv[i].utf8_string());
    m_startRequest.playlist =
        PlaylistArgument(utf8Arguments, wxGetCwd().utf8_string(), platform::PathExists);
    if (!m_startRequest.playlist.empty())
    {
        // A playlist to open is a request to be seen.
        m_startRequest.show = true;
        m_startRequest.number = -1;
    }

    if (!found)
    {
        m_pPlaylistOpener = std::make_unique<CPlaylistOpener>();
        m_pSingleInstance->Listen([this](const std::string& message)
                                  { OnMessageFromLaterStart(message); });
        return false;
    }
    // The running instance answers once it has handled the message; if it
    // does not, this start still ends: it must never open a second window.
    m_pSingleInstance->Send(HandOverMessage(m_startRequest));
    return true;
}

void CWavecrestApp::OnMessageFromLaterStart(const std::string& message)
{
    // A later start without arguments brings the window up, one with a
    // playlist adds and plays it. One with a number ("number N") asks nothing
    // of this instance: the message is answered all the same, so that the
    // later start ends.
    auto* frame = dynamic_cast<CMainFrame*>(GetTopWindow());
    if (!frame)
        return;
    const HandOver handOver = ReadHandOverMessage(message);
    switch (handOver.kind)
    {
    case HandOver::Kind::Show:
        frame->BringToFront();
        break;
    case HandOver::Kind::Open:
        frame->BringToFront();
        m_pPlaylistOpener->Open(handOver.location);
        break;
    case HandOver::Kind::Number:
    case HandOver::Kind::Unknown:
        break;
    }
}

void CWavecrestApp::StartPlaybackSession()
{
    m_pSession = std::make_unique<CPlaybackSession>();
    CPlaybackSession::SetProgram(m_pSession.get());
    m_pSession->SetRadioPageOpener(
        [this]
        {
            if (auto* frame = dynamic_cast<CMainFrame*>(GetTopWindow()))
                frame->ShowPage(RadioPageIndex());
        });
    // The sound need not wait for the window and the list: the radio page
    // that opens as the start page takes the playing stream over. A playlist
    // to open plays in its place.
    const PageEntry* start = PageAt(m_cachedSettings.LastCategory());
    if ((!start || start->isRadioPage) && m_startRequest.playlist.empty())
        m_pSession->PlayRememberedAtStart();
}

bool CWavecrestApp::RegisterDocumentTemplates()
{
    m_pDocManager = std::make_unique<CPageDocManager>();
    // The order matters: ribbon category i opens template i.
    for (const PageEntry& page : Pages())
        new CPageTemplate(m_pDocManager.get(), page); // the manager owns it
    return true;
}

bool CWavecrestApp::CreateMainFrame()
{
    auto* frame = new CMainFrame(m_pDocManager.get(), m_nAppLook);
    SetTopWindow(frame);
    if (!frame->LoadFrame(wxDEFAULT_FRAME_STYLE))
    {
        delete frame;
        SetTopWindow(nullptr);
        return false;
    }
    return true;
}

void CWavecrestApp::StartMediaControls(CMainFrame* frame)
{
    m_pMediaControls = std::make_unique<CMediaControls>(*m_pSession);
    // The media controls go with the main window: the name is given back as
    // the window goes, not only once the program has ended.
    frame->Bind(wxEVT_DESTROY,
                [this, frame](wxWindowDestroyEvent& event)
                {
                    if (event.GetWindow() == frame)
                        m_pMediaControls.reset();
                    event.Skip();
                });
}

int CWavecrestApp::OnRun()
{
    if (m_bHandedOver)
        return 0;
    return wxApp::OnRun();
}

int CWavecrestApp::OnExit()
{
    m_pMediaControls.reset();
    m_pPlaylistOpener.reset();
    m_pDocManager.reset();
    CPlaybackSession::SetProgram(nullptr);
    m_pSession.reset();
    m_pSingleInstance.reset();
    return wxApp::OnExit();
}

void CWavecrestApp::OnAppAbout(wxCommandEvent& /*event*/)
{
    CAboutDlg dialog(GetTopWindow());
    platform::RunModal(dialog);
}

void CWavecrestApp::OnFileNew(wxCommandEvent& /*event*/)
{
    m_pDocManager->CreateNewDocument();
}

void CWavecrestApp::OnFileOpen(wxCommandEvent& /*event*/)
{
    m_pDocManager->CreateDocument(wxString(), 0);
}
