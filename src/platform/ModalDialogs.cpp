#include "platform/ModalDialogs.h"

#include <wx/app.h>
#include <wx/choicdlg.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <vector>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform
{

namespace
{
ModalAnswerer& Answerer()
{
    static ModalAnswerer answerer;
    return answerer;
}

std::optional<int> AskAnswerer(const ModalRequest& request)
{
    if (Answerer())
        return Answerer()(request);
    return std::nullopt;
}

const char* IconName(long style)
{
    if (style & wxICON_ERROR)
        return "error";
    if (style & wxICON_WARNING)
        return "warning";
    if (style & wxICON_QUESTION)
        return "question";
    return "information";
}

int DefaultAnswer(long style)
{
    if (style & wxYES_NO)
        return (style & wxNO_DEFAULT) ? wxNO : wxYES;
    return wxOK;
}

// Records the box in the log named by WAVECREST_MODAL_LOG; false when unset.
bool LogToFile(const wxString& text, const wxString& caption, long style)
{
    const char* path = std::getenv("WAVECREST_MODAL_LOG");
    if (!path || !*path)
        return false;
    if (FILE* file = std::fopen(path, "a"))
    {
        std::fprintf(file, "[%s] %s\n%s\n\f\n", IconName(style), caption.utf8_str().data(),
                     text.utf8_str().data());
        std::fclose(file);
    }
    return true;
}
// Sees every modal dialog of the process open and close, the toolkit's own
// message boxes included, and refuses new ones once the program is leaving.
class CModalWatch : public wxModalDialogHook
{
public:
    bool IsAnyOpen() const { return !m_open.empty(); }
    bool IsLeaving() const { return m_bLeaving; }

    void CancelAll()
    {
        m_bLeaving = true;
        // Ending a dialog only makes its loop return later: the list is
        // copied, as Exit() changes it.
        for (wxDialog* dialog : std::vector<wxDialog*>(m_open))
            Cancel(dialog);
    }

    void CallWhenNoneOpen(std::function<void()> action)
    {
        if (m_open.empty())
            wxTheApp->CallAfter(std::move(action));
        else
            m_waiting.push_back(std::move(action));
    }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (m_bLeaving)
            return wxID_CANCEL; // not shown at all
        m_open.push_back(dialog);
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override
    {
        m_open.erase(std::remove(m_open.begin(), m_open.end(), dialog), m_open.end());
        if (!m_open.empty())
            return;
        // The dialog's own loop has not returned yet: the actions run once it has.
        for (auto& action : m_waiting)
            wxTheApp->CallAfter(std::move(action));
        m_waiting.clear();
    }

private:
    static void Cancel(wxDialog* dialog)
    {
        if (dialog->IsModal())
        {
            dialog->EndModal(wxID_CANCEL);
            return;
        }
        // GTK's message boxes run a loop of GTK's (gtk_dialog_run) that wx
        // does not end: answer the native dialog instead.
        auto* widget = static_cast<GtkWidget*>(dialog->GetHandle());
        if (widget && GTK_IS_DIALOG(widget))
            gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_CANCEL);
    }

    std::vector<wxDialog*> m_open;
    std::vector<std::function<void()>> m_waiting;
    bool m_bLeaving = false;
};

CModalWatch& ModalWatch()
{
    static CModalWatch* watch = []
    {
        auto* created = new CModalWatch; // lives as long as the process
        created->Register();
        return created;
    }();
    return *watch;
}

std::optional<int> LeavingAnswer(long style)
{
    if (!ModalWatch().IsLeaving())
        return std::nullopt;
    if (style & wxCANCEL)
        return wxCANCEL;
    if (style & wxYES_NO)
        return wxNO;
    return wxOK;
}
} // namespace

void WatchModalDialogs()
{
    ModalWatch();
}

bool IsModalRunning()
{
    return ModalWatch().IsAnyOpen();
}

void CancelModalsForExit()
{
    ModalWatch().CancelAll();
}

void CallWhenNoModalRuns(std::function<void()> action)
{
    ModalWatch().CallWhenNoneOpen(std::move(action));
}

void SetModalAnswerer(ModalAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

int MessageBox(const wxString& text, const wxString& caption, long style, wxWindow* parent)
{
    if (auto answer = LeavingAnswer(style))
        return *answer;
    if (auto answer = AskAnswerer({ModalRequest::Kind::MessageBox, text, caption, style}))
        return *answer;
    if (LogToFile(text, caption, style))
        return DefaultAnswer(style);
    return wxMessageBox(text, caption, style, parent);
}

int RunModal(wxDialog& dialog)
{
    WatchModalDialogs();
    if (auto answer =
            AskAnswerer({ModalRequest::Kind::Dialog, dialog.GetName(), dialog.GetTitle(), 0}))
        return *answer;
    return dialog.ShowModal();
}

int ChooseOne(const wxString& message, const wxString& caption, const wxArrayString& choices,
              wxWindow* parent)
{
    WatchModalDialogs();
    if (auto answer = AskAnswerer({ModalRequest::Kind::Dialog, message, caption, 0}))
        return *answer;
    if (LogToFile(message, caption, wxICON_QUESTION))
        return -1;
    wxSingleChoiceDialog dialog(parent, message, caption, choices);
    return dialog.ShowModal() == wxID_OK ? dialog.GetSelection() : -1;
}

wxString ChooseFileToOpen(const wxString& message, const wxString& wildcard, wxWindow* parent)
{
    if (AskAnswerer({ModalRequest::Kind::Dialog, message, wxString(), 0}))
        return wxString();
    if (LogToFile(message, wxString(), wxICON_QUESTION))
        return wxString();
    wxFileDialog dialog(parent, message, wxString(), wxString(), wildcard,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

} // namespace platform
