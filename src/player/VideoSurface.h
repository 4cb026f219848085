#pragma once
// The picture area of the player: a black window in which the engine's
// picture is drawn through libmpv's render API, on the GUI thread, in the
// window's paint. The engine's update call only queues an event; the event
// repaints. The picture keeps its aspect ratio, with black bars, at every
// size of the window.
//
// Two ways to draw: OpenGL in a GL canvas that fills the area, the usual
// one; and libmpv's software renderer into a bitmap, taken when no OpenGL
// context can be had (or when the program is told so). A surface that takes
// the picture (Attach) makes its render context at once, or at its first
// paint when it needs a visible window for it; only one surface at a time
// may hold the picture of an engine, and it gives it back (Detach, or its
// end) before the engine ends.

#include <wx/window.h>

#include <atomic>
#include <functional>
#include <vector>

class CGlVideoCanvas;
class CPlayerEngine;
struct mpv_render_context;

class CVideoSurface : public wxWindow
{
public:
    // bSoftware: draw with the software renderer only.
    CVideoSurface(wxWindow* pParent, wxWindowID nId, CPlayerEngine& engine, bool bSoftware);
    ~CVideoSurface() override;

    // Takes the engine's picture (the render context is made now or at the
    // first paint).
    void Attach();
    // Gives the picture back: the render context is freed.
    void Detach();
    bool IsAttached() const { return m_bAttached; }
    // True once the picture is drawn by the software renderer.
    bool IsSoftware() const { return m_pGlCanvas == nullptr; }
    // True while a render context exists.
    bool IsDrawing() const;

    // Runs when the person double-clicks the picture.
    void SetDoubleClickHandler(std::function<void()> handler)
    {
        m_onDoubleClick = std::move(handler);
    }

    // For the GL canvas: OpenGL could not be used; the surface draws in
    // software from now on.
    void SwitchToSoftware(const wxString& strWhy);

private:
    static void OnUpdateCallback(void* pContext);
    void OnUpdate(wxThreadEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void MakeSoftwareContext();
    void FreeSoftwareContext();

    CPlayerEngine& m_engine;
    CGlVideoCanvas* m_pGlCanvas;
    bool m_bAttached;
    mpv_render_context* m_pSoftwareContext;
    std::atomic<bool> m_bUpdateQueued;
    std::vector<unsigned char> m_pixels;
    std::function<void()> m_onDoubleClick;
};
