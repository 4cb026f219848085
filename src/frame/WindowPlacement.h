#pragma once
// The main window's size and position, kept in [Workspace] between runs.

#include <wx/gdicmn.h>

#include <optional>

// The stored rectangle, if a complete one was stored.
std::optional<wxRect> LoadWindowPlacement();
void StoreWindowPlacement(const wxRect& rect);

// Moves and shrinks a stored rectangle so that it lies on the given display
// area (screens change between runs); a rectangle that already fits is kept.
wxRect FitRectToArea(const wxRect& stored, const wxRect& area);
