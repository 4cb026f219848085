#pragma once
// The picture area of the player: a black window in which the engine's
// picture is drawn through libmpv's render API, on the GUI thread, in a
// window's paint. The engine's update call only queues an event; the event
// repaints. The picture keeps its aspect ratio, with black bars, at every
// size of the window.
//
// Two ways to draw: OpenGL in a GL canvas that fills the area, the usual
// one; and libmpv's software renderer into a bitmap, taken when no OpenGL
// context can be had (or when the program is told so). The surface owns the
// engine's render context (and the OpenGL context it lives in) and frees it
// when it ends, which must be before the engine ends.
//
// The picture can also be shown in another window for a while (the full
// screen): the surface makes a drawing window there and draws into it with
// the same contexts, so the engine goes on without a break.

#include <wx/longlong.h>
#include <wx/window.h>

#include <atomic>
#include <functional>
#include <vector>

class CGlVideoCanvas;
class CPlayerEngine;
class wxGLContext;
struct mpv_render_context;

class CVideoSurface : public wxWindow
{
public:
    // bSoftware: draw with the software renderer only.
    CVideoSurface(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine, bool bSoftware);
    ~CVideoSurface() override;

    // Starts drawing the engine's picture (the render context is made now,
    // or at the first paint when OpenGL needs a window on screen for it).
    // Called when a stream first has a picture: OpenGL costs tens of
    // megabytes and a tenth of a second, which radio never needs.
    void Start();
    bool IsStarted() const { return m_bStarted; }
    // True when the picture is (or will be) drawn by the software renderer.
    bool IsSoftware() const { return m_bSoftware; }
    // True while a render context exists.
    bool IsDrawing() const { return m_pRenderContext != nullptr; }

    // Shows the picture in a new window inside pParent (which the caller
    // lays out) instead of here, until EndShowingElsewhere().
    wxWindow* ShowElsewhere(wxWindow* pParent);
    void EndShowingElsewhere();
    // The window the picture is drawn in now.
    wxWindow* GetPictureWindow() const;
    // Whether the stream playing now has a picture; without one the area is
    // black, not the last frame of the stream before.
    void SetHasPicture(bool bHasPicture);

    // Runs when the person double-clicks the picture.
    void SetDoubleClickHandler(std::function<void()> handler)
    {
        m_onDoubleClick = std::move(handler);
    }

    // For the GL canvases: draws the picture into that canvas.
    void PaintGl(CGlVideoCanvas& canvas);
    // Draws the picture into a plain window with the software renderer.
    void PaintSoftware(wxWindow& window);

private:
    static void OnUpdateCallback(void* pContext);
    void OnUpdate(wxThreadEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnClick(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    bool StartGl(CGlVideoCanvas& canvas);
    void SwitchToSoftware(const wxString& strWhy);
    void MakeSoftwareContext();
    void FreeRenderContext();
    wxWindow* NewDrawingWindow(wxWindow* pParent);

    CPlayerEngine& m_engine;
    bool m_bHasPicture = false;
    CGlVideoCanvas* m_pGlCanvas; // the page's GL canvas (nullptr: software)
    wxGLContext* m_pGlContext;
    mpv_render_context* m_pRenderContext;
    bool m_bStarted;
    bool m_bSoftware;       // asked for, or no OpenGL to be had
    wxWindow* m_pElsewhere; // where the picture shows instead (nullptr: here)
    std::atomic<bool> m_bUpdateQueued;
    std::vector<unsigned char> m_pixels;
    void (*m_pClearColor)(float, float, float, float);
    void (*m_pClear)(unsigned int);
    std::function<void()> m_onDoubleClick;
    wxLongLong m_lastClick; // when the last single click came (0: none since the last pair)
    wxPoint m_lastClickAt;
};
