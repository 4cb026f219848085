#include "player/VideoSurface.h"

#include "platform/GlFunctions.h"
#include "player/PlayerEngine.h"

#include <mpv/render.h>
#include <mpv/render_gl.h>
#include <wx/dcclient.h>
#include <wx/glcanvas.h>
#include <wx/image.h>

#include <cstring>

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

// The OpenGL way: a canvas that fills the surface, with its own GL context
// and the engine's render context made in it.
class CGlVideoCanvas : public wxGLCanvas
{
public:
    CGlVideoCanvas(CVideoSurface* pSurface, CPlayerEngine& engine)
        : wxGLCanvas(pSurface, CanvasAttributes(), wxID_ANY, wxDefaultPosition,
                     pSurface->GetClientSize()),
          m_pSurface(pSurface), m_engine(engine), m_pGlContext(nullptr), m_pRenderContext(nullptr),
          m_bWanted(false), m_bUpdateQueued(false), m_pClearColor(nullptr), m_pClear(nullptr)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &CGlVideoCanvas::OnPaint, this);
        Bind(wxEVT_THREAD, &CGlVideoCanvas::OnUpdate, this);
    }

    ~CGlVideoCanvas() override
    {
        Free();
        delete m_pGlContext;
    }

    // The picture is wanted: the render context is made once the canvas can
    // draw (at once when it is on screen).
    void Want()
    {
        m_bWanted = true;
        if (IsShownOnScreen())
            Refresh(false);
    }

    void Free()
    {
        m_bWanted = false;
        if (!m_pRenderContext)
            return;
        // libmpv frees its OpenGL objects in the context they were made in.
        if (m_pGlContext)
            SetCurrent(*m_pGlContext);
        mpv_render_context_set_update_callback(m_pRenderContext, nullptr, nullptr);
        mpv_render_context_free(m_pRenderContext);
        m_pRenderContext = nullptr;
    }

    bool IsDrawing() const { return m_pRenderContext != nullptr; }

private:
    static void OnUpdateCallback(void* pContext)
    {
        // Runs on one of the engine's threads: only queue an event.
        auto* pCanvas = static_cast<CGlVideoCanvas*>(pContext);
        if (!pCanvas->m_bUpdateQueued.exchange(true))
            pCanvas->QueueEvent(new wxThreadEvent());
    }

    void OnUpdate(wxThreadEvent& /*event*/)
    {
        m_bUpdateQueued = false;
        if (m_pRenderContext &&
            (mpv_render_context_update(m_pRenderContext) & MPV_RENDER_UPDATE_FRAME))
            Refresh(false);
    }

    // Makes the GL context and the engine's render context; false (and the
    // surface goes on in software) when either cannot be had.
    bool Start()
    {
        if (!m_pGlContext)
        {
            m_pGlContext = new wxGLContext(this);
            if (!m_pGlContext->IsOK())
                return Fail("no OpenGL context");
        }
        if (!SetCurrent(*m_pGlContext))
            return Fail("the OpenGL context cannot be used");
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
            return Fail(wxString("OpenGL: ") + mpv_error_string(nError));
        mpv_render_context_set_update_callback(m_pRenderContext, &OnUpdateCallback, this);
        m_engine.EnableVideo();
        return true;
    }

    bool Fail(const wxString& strWhy)
    {
        m_bWanted = false;
        // Not while this canvas paints: the surface replaces it afterwards.
        CVideoSurface* pSurface = m_pSurface;
        pSurface->CallAfter([pSurface, strWhy] { pSurface->SwitchToSoftware(strWhy); });
        return false;
    }

    void OnPaint(wxPaintEvent& /*event*/)
    {
        wxPaintDC dc(this);
        if (!m_pRenderContext && (!m_bWanted || !Start()))
            return;
        SetCurrent(*m_pGlContext);
        const wxSize size = GetClientSize() * GetContentScaleFactor();
        if (m_pClearColor && m_pClear)
        {
            m_pClearColor(0, 0, 0, 1);
            m_pClear(kColourBufferBit);
        }
        mpv_opengl_fbo fbo = {0, size.x, size.y, 0};
        int nFlipY = 1;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                     {MPV_RENDER_PARAM_FLIP_Y, &nFlipY},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(m_pRenderContext, params);
        SwapBuffers();
    }

    CVideoSurface* m_pSurface;
    CPlayerEngine& m_engine;
    wxGLContext* m_pGlContext;
    mpv_render_context* m_pRenderContext;
    bool m_bWanted;
    std::atomic<bool> m_bUpdateQueued;
    void (*m_pClearColor)(float, float, float, float);
    void (*m_pClear)(unsigned int);
};

CVideoSurface::CVideoSurface(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine,
                             bool bSoftware)
    : wxWindow(pParent, nId, wxDefaultPosition, wxSize(-1, 20), wxNO_BORDER | wxWANTS_CHARS),
      m_engine(engine), m_pGlCanvas(nullptr), m_bAttached(false), m_pSoftwareContext(nullptr),
      m_bUpdateQueued(false)
{
    SetBackgroundColour(*wxBLACK);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CVideoSurface::OnPaint, this);
    Bind(wxEVT_SIZE, &CVideoSurface::OnSize, this);
    Bind(wxEVT_THREAD, &CVideoSurface::OnUpdate, this);
    Bind(wxEVT_LEFT_DCLICK, &CVideoSurface::OnDoubleClick, this);
    if (!bSoftware && wxGLCanvas::IsDisplaySupported(CanvasAttributes()))
    {
        m_pGlCanvas = new CGlVideoCanvas(this, engine);
        m_pGlCanvas->Bind(wxEVT_LEFT_DCLICK, &CVideoSurface::OnDoubleClick, this);
    }
}

CVideoSurface::~CVideoSurface()
{
    Detach();
}

void CVideoSurface::Attach()
{
    m_bAttached = true;
    if (m_pGlCanvas)
        m_pGlCanvas->Want();
    else
        MakeSoftwareContext();
}

void CVideoSurface::Detach()
{
    m_bAttached = false;
    if (m_pGlCanvas)
        m_pGlCanvas->Free();
    FreeSoftwareContext();
    Refresh(false);
}

bool CVideoSurface::IsDrawing() const
{
    return m_pGlCanvas ? m_pGlCanvas->IsDrawing() : m_pSoftwareContext != nullptr;
}

void CVideoSurface::SwitchToSoftware(const wxString& strWhy)
{
    if (!m_pGlCanvas)
        return;
    wxLogDebug("Video in software: %s", strWhy);
    m_pGlCanvas->Free();
    m_pGlCanvas->Destroy();
    m_pGlCanvas = nullptr;
    if (m_bAttached)
        MakeSoftwareContext();
    Refresh(false);
}

void CVideoSurface::MakeSoftwareContext()
{
    if (m_pSoftwareContext)
        return;
    char szApi[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, szApi},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    int nError = 0;
    m_pSoftwareContext = m_engine.CreateRenderContext(params, &nError);
    if (!m_pSoftwareContext)
    {
        // The sound plays on; the status says why there is no picture.
        m_engine.SetSurfaceProblem(wxString("no video output (") + mpv_error_string(nError) + ")");
        return;
    }
    mpv_render_context_set_update_callback(m_pSoftwareContext, &OnUpdateCallback, this);
    m_engine.EnableVideo();
}

void CVideoSurface::FreeSoftwareContext()
{
    if (!m_pSoftwareContext)
        return;
    mpv_render_context_set_update_callback(m_pSoftwareContext, nullptr, nullptr);
    mpv_render_context_free(m_pSoftwareContext);
    m_pSoftwareContext = nullptr;
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
    if (m_pSoftwareContext &&
        (mpv_render_context_update(m_pSoftwareContext) & MPV_RENDER_UPDATE_FRAME))
        Refresh(false);
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
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    if (m_pGlCanvas || !m_pSoftwareContext || size.x <= 0 || size.y <= 0)
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
    if (mpv_render_context_render(m_pSoftwareContext, params) < 0)
        std::fill(m_pixels.begin(), m_pixels.end(), 0);
    wxImage image(size.x, size.y, false);
    unsigned char* pOut = image.GetData();
    for (int y = 0; y < size.y; ++y)
    {
        const unsigned char* pRow = m_pixels.data() + nStride * static_cast<std::size_t>(y);
        for (int x = 0; x < size.x; ++x, pOut += 3)
            std::memcpy(pOut, pRow + 4 * x, 3);
    }
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}

void CVideoSurface::OnDoubleClick(wxMouseEvent& /*event*/)
{
    if (m_onDoubleClick)
        m_onDoubleClick();
}
