#include "platform/Browser.h"

#include <wx/utils.h>

#include <utility>

namespace platform
{

namespace
{
std::function<void(const wxString&)>& Observer()
{
    static std::function<void(const wxString&)> observer;
    return observer;
}
} // namespace

bool OpenInBrowser(const wxString& address)
{
    if (Observer())
    {
        Observer()(address);
        return true;
    }
    return wxLaunchDefaultBrowser(address);
}

void SetBrowserObserver(std::function<void(const wxString&)> observer)
{
    Observer() = std::move(observer);
}

} // namespace platform
