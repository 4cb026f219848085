#pragma once
// OpenGL entry points by name, for a library that draws with OpenGL in a
// context the program made current (the playback engine draws the picture).

namespace platform
{

// The address of an OpenGL function in the context current on this thread:
// looked up through EGL when an EGL context is current (Wayland), through
// GLX otherwise; nullptr when there is no such function.
void* GlProcAddress(const char* pszName);

} // namespace platform
