#include "player/VideoSurface.h"

#include "platform/GlFunctions.h"
#include "player/PlayerEngine.h"

#include <mpv/render.h>
#include <mpv/render_gl.h>
#include <wx/dcclient.h>
#include <wx/glcanvas.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/settings.h>
#include <wx/time.h>

#include <algorithm>
#include <cstdlib>

namespace
{

// OpenGL's colour-buffer bit, as glClear takes it.
constexpr unsigned int kColourBufferBit = 0x00004000;

void* GetGlProcAddress(void* /*pContext*/, const char* pszName)
{
    return platform::GlProcAddress(pszName);
}

wxGLAttributes CanvasAttributes()
{
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().EndList();
    return attributes;
}

} // namespace

// A window the picture is drawn in with OpenGL. All canvases of a surface
// have the same attributes, so the surface's one OpenGL context (and the
// engine's render context in it) draws in any of them.
class CGlVideoCanvas : public wxGLCanvas
{
public:
    CGlVideoCanvas(wxWindow* pParent, CVideoSurface& surface)
        : wxGLCanvas(pParent, CanvasAttributes(), wxID_ANY, wxDefaultPosition,
                     pParent->GetClientSize()),
          m_surface(surface)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { m_surface.PaintGl(*this); });
    }

private:
    CVideoSurface& m_surface;
};

CVideoSurface::CVideoSurface(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine,
                             bool bSoftware)
    : wxWindow(pParent, nId, wxDefaultPosition, wxSize(-1, 20), wxNO_BORDER | wxWANTS_CHARS),
      m_engine(engine), m_pGlCanvas(nullptr), m_pGlContext(nullptr), m_pRenderContext(nullptr),
      m_bStarted(false), m_bSoftware(bSoftware), m_pElsewhere(nullptr), m_bUpdateQueued(false),
      m_pClearColor(nullptr), m_pClear(nullptr), m_lastClick(0)
{
    SetBackgroundColour(*wxBLACK);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CVideoSurface::OnPaint, this);
    Bind(wxEVT_SIZE, &CVideoSurface::OnSize, this);
    Bind(wxEVT_THREAD, &CVideoSurface::OnUpdate, this);
    Bind(wxEVT_LEFT_DCLICK, &CVideoSurface::OnDoubleClick, this);
    Bind(wxEVT_LEFT_DOWN, &CVideoSurface::OnClick, this);
}

CVideoSurface::~CVideoSurface()
{
    EndShowingElsewhere();
    FreeRenderContext();
    delete m_pGlContext;
}

void CVideoSurface::Start()
{
    if (m_bStarted)
        return;
    m_bStarted = true;
    if (!m_bSoftware && !m_pGlCanvas)
    {
        if (wxGLCanvas::IsDisplaySupported(CanvasAttributes()))
        {
            m_pGlCanvas = new CGlVideoCanvas(this, *this);
            m_pGlCanvas->Bind(wxEVT_LEFT_DCLICK, &CVideoSurface::OnDoubleClick, this);
            m_pGlCanvas->Bind(wxEVT_LEFT_DOWN, &CVideoSurface::OnClick, this);
        }
        else
            m_bSoftware = true;
    }
    if (!m_pGlCanvas)
        MakeSoftwareContext();
    else if (m_pGlCanvas->IsShownOnScreen())
        m_pGlCanvas->Refresh(false);
}

wxWindow* CVideoSurface::GetPictureWindow() const
{
    if (m_pElsewhere)
        return m_pElsewhere;
    return m_pGlCanvas ? static_cast<wxWindow*>(m_pGlCanvas) : const_cast<CVideoSurface*>(this);
}

void CVideoSurface::SetHasPicture(bool bHasPicture)
{
    if (bHasPicture == m_bHasPicture)
        return;
    m_bHasPicture = bHasPicture;
    GetPictureWindow()->Refresh(false);
}

wxWindow* CVideoSurface::NewDrawingWindow(wxWindow* pParent)
{
    wxWindow* pWindow = nullptr;
    if (m_pGlCanvas)
        pWindow = new CGlVideoCanvas(pParent, *this);
    else
    {
        pWindow = new wxWindow(pParent, wxID_ANY, wxDefaultPosition, pParent->GetClientSize(),
                               wxNO_BORDER | wxWANTS_CHARS);
        pWindow->SetBackgroundStyle(wxBG_STYLE_PAINT);
        pWindow->Bind(wxEVT_PAINT, [this, pWindow](wxPaintEvent&) { PaintSoftware(*pWindow); });
        pWindow->Bind(wxEVT_SIZE,
                      [pWindow](wxSizeEvent& event)
                      {
                          pWindow->Refresh(false);
                          event.Skip();
                      });
    }
    pWindow->Bind(wxEVT_LEFT_DCLICK, &CVideoSurface::OnDoubleClick, this);
    pWindow->Bind(wxEVT_LEFT_DOWN, &CVideoSurface::OnClick, this);
    return pWindow;
}

wxWindow* CVideoSurface::ShowElsewhere(wxWindow* pParent)
{
    EndShowingElsewhere();
    m_pElsewhere = NewDrawingWindow(pParent);
    return m_pElsewhere;
}

void CVideoSurface::EndShowingElsewhere()
{
    if (!m_pElsewhere)
        return;
    // The OpenGL context leaves the window before the window goes.
    if (m_pGlContext && m_pGlCanvas)
        m_pGlCanvas->SetCurrent(*m_pGlContext);
    m_pElsewhere->Destroy();
    m_pElsewhere = nullptr;
    GetPictureWindow()->Refresh(false);
}

bool CVideoSurface::StartGl(CGlVideoCanvas& canvas)
{
    auto fail = [this](const wxString& strWhy)
    {
        // Not while a canvas paints: the page's canvas is replaced afterwards.
        CallAfter([this, strWhy] { SwitchToSoftware(strWhy); });
        m_bStarted = false;
        return false;
    };
    if (!m_pGlContext)
    {
        m_pGlContext = new wxGLContext(&canvas);
        if (!m_pGlContext->IsOK())
            return fail("no OpenGL context");
    }
    if (!canvas.SetCurrent(*m_pGlContext))
        return fail("the OpenGL context cannot be used");
    m_pClearColor = reinterpret_cast<void (*)(float, float, float, float)>(
        platform::GlProcAddress("glClearColor"));
    m_pClear = reinterpret_cast<void (*)(unsigned int)>(platform::GlProcAddress("glClear"));
    mpv_opengl_init_params init = {&GetGlProcAddress, nullptr};
    char szApi[] = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, szApi},
                                 {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    int nError = 0;
    m_pRenderContext = m_engine.CreateRenderContext(params, &nError);
    if (!m_pRenderContext)
        return fail(wxString("OpenGL: ") + mpv_error_string(nError));
    mpv_render_context_set_update_callback(m_pRenderContext, &OnUpdateCallback, this);
    m_engine.EnableVideo();
    return true;
}

void CVideoSurface::SwitchToSoftware(const wxString& strWhy)
{
    if (!m_pGlCanvas || m_pElsewhere)
        return;
    wxLogDebug("Video in software: %s", strWhy);
    FreeRenderContext();
    delete m_pGlContext;
    m_pGlContext = nullptr;
    m_pGlCanvas->Destroy();
    m_pGlCanvas = nullptr;
    m_bSoftware = true;
    m_bStarted = false;
    Start();
    Refresh(false);
}

void CVideoSurface::MakeSoftwareContext()
{
    if (m_pRenderContext)
        return;
    char szApi[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, szApi},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    int nError = 0;
    m_pRenderContext = m_engine.CreateRenderContext(params, &nError);
    if (!m_pRenderContext)
    {
        // The sound plays on; the status says why there is no picture.
        m_engine.SetSurfaceProblem(wxString("no video output (") + mpv_error_string(nError) + ")");
        return;
    }
    mpv_render_context_set_update_callback(m_pRenderContext, &OnUpdateCallback, this);
    m_engine.EnableVideo();
}

void CVideoSurface::FreeRenderContext()
{
    if (!m_pRenderContext)
        return;
    // libmpv frees its OpenGL objects in the context they were made in.
    if (m_pGlContext && m_pGlCanvas)
        m_pGlCanvas->SetCurrent(*m_pGlContext);
    mpv_render_context_set_update_callback(m_pRenderContext, nullptr, nullptr);
    mpv_render_context_free(m_pRenderContext);
    m_pRenderContext = nullptr;
}

void CVideoSurface::OnUpdateCallback(void* pContext)
{
    // Runs on one of the engine's threads: only queue an event.
    auto* pSurface = static_cast<CVideoSurface*>(pContext);
    if (!pSurface->m_bUpdateQueued.exchange(true))
        pSurface->QueueEvent(new wxThreadEvent());
}

void CVideoSurface::OnUpdate(wxThreadEvent& /*event*/)
{
    m_bUpdateQueued = false;
    if (m_pRenderContext && (mpv_render_context_update(m_pRenderContext) & MPV_RENDER_UPDATE_FRAME))
        GetPictureWindow()->Refresh(false);
}

void CVideoSurface::OnSize(wxSizeEvent& event)
{
    if (m_pGlCanvas)
        m_pGlCanvas->SetSize(GetClientSize());
    Refresh(false);
    event.Skip();
}

void CVideoSurface::OnPaint(wxPaintEvent& /*event*/)
{
    PaintSoftware(*this);
}

void CVideoSurface::PaintGl(CGlVideoCanvas& canvas)
{
    wxPaintDC dc(&canvas);
    if (&canvas != GetPictureWindow())
        return;
    if (!m_pRenderContext && (!m_bStarted || !StartGl(canvas)))
        return;
    canvas.SetCurrent(*m_pGlContext);
    const wxSize size = canvas.GetClientSize() * canvas.GetContentScaleFactor();
    if (m_pClearColor && m_pClear)
    {
        m_pClearColor(0, 0, 0, 1);
        m_pClear(kColourBufferBit);
    }
    if (!m_bHasPicture)
    {
        canvas.SwapBuffers();
        return;
    }
    mpv_opengl_fbo fbo = {0, size.x, size.y, 0};
    int nFlipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &nFlipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_pRenderContext, params);
    canvas.SwapBuffers();
}

void CVideoSurface::PaintSoftware(wxWindow& window)
{
    wxPaintDC dc(&window);
    const wxSize size = window.GetClientSize();
    if (m_pGlCanvas || !m_pRenderContext || !m_bHasPicture || &window != GetPictureWindow() ||
        size.x <= 0 || size.y <= 0)
    {
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        return;
    }
    // The engine writes 4 bytes a pixel, rows a multiple of 64 bytes apart;
    // black where it has nothing to draw.
    std::size_t nStride = (static_cast<std::size_t>(size.x) * 4 + 63) & ~std::size_t(63);
    m_pixels.assign(nStride * static_cast<std::size_t>(size.y), 0);
    int dimensions[2] = {size.x, size.y};
    char szFormat[] = "rgb0";
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                 {MPV_RENDER_PARAM_SW_FORMAT, szFormat},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &nStride},
                                 {MPV_RENDER_PARAM_SW_POINTER, m_pixels.data()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(m_pRenderContext, params) < 0)
        std::fill(m_pixels.begin(), m_pixels.end(), 0);
    wxImage image(size.x, size.y, false);
    unsigned char* pOut = image.GetData();
    for (int y = 0; y < size.y; ++y)
    {
        const unsigned char* pIn = m_pixels.data() + nStride * static_cast<std::size_t>(y);
        for (int x = 0; x < size.x; ++x, pIn += 4, pOut += 3)
        {
            pOut[0] = pIn[0];
            pOut[1] = pIn[1];
            pOut[2] = pIn[2];
        }
    }
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}

void CVideoSurface::OnClick(wxMouseEvent& event)
{
    event.Skip();
    // GTK does not always report the second click of a quick pair as a
    // double click (after the picture came back from another window, for
    // one); a second click soon after the first and close to it is one.
    const wxLongLong now = wxGetLocalTimeMillis();
    const wxPoint at = wxGetMousePosition();
    int nMilliseconds = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    if (nMilliseconds <= 0)
        nMilliseconds = 400;
    const bool bPair = m_lastClick != 0 && now - m_lastClick <= nMilliseconds &&
                       std::abs(at.x - m_lastClickAt.x) <= 4 &&
                       std::abs(at.y - m_lastClickAt.y) <= 4;
    if (bPair)
    {
        wxMouseEvent doubleClick(wxEVT_LEFT_DCLICK);
        OnDoubleClick(doubleClick);
        return;
    }
    m_lastClick = now;
    m_lastClickAt = at;
}

void CVideoSurface::OnDoubleClick(wxMouseEvent& /*event*/)
{
    // One action for each pair of clicks, however it was reported.
    m_lastClick = 0;
    if (m_onDoubleClick)
        m_onDoubleClick();
}
