#pragma once
// Opening a web address in the user's default browser.

#include <wx/string.h>

#include <functional>

namespace platform
{

// Opens the address in the default browser; false when none could be started.
bool OpenInBrowser(const wxString& address);

// Tests: the observer gets each address instead of a browser being started
// (an empty function removes it).
void SetBrowserObserver(std::function<void(const wxString&)> observer);

} // namespace platform
