#include "frame/PageView.h"

#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <wx/app.h>

CMainFrame* CPageView::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
}

bool CPageView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags))
        return false;
    CMainFrame* mainFrame = GetMainFrame();
    if (!mainFrame)
        return false;
    m_pChildFrame = new CChildFrame(mainFrame->GetPageArea(), this);
    SetFrame(m_pChildFrame);
    CreateContent(m_pChildFrame);
    mainFrame->AttachPage(m_pChildFrame);
    Activate(true);
    OnInitialUpdate();
    return true;
}

bool CPageView::OnClose(bool deleteWindow)
{
    Activate(false);
    if (deleteWindow && m_pChildFrame)
    {
        m_pChildFrame->SetView(nullptr);
        if (CMainFrame* mainFrame = GetMainFrame())
            mainFrame->DetachPage(m_pChildFrame);
        m_pChildFrame->Destroy();
        m_pChildFrame = nullptr;
        SetFrame(nullptr);
    }
    return true;
}

void CPageView::OnDraw(wxDC* /*dc*/) {}
