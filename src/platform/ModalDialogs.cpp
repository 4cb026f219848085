#include "platform/ModalDialogs.h"

#include <wx/choicdlg.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

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
} // namespace

void SetModalAnswerer(ModalAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

int MessageBox(const wxString& text, const wxString& caption, long style, wxWindow* parent)
{
    if (auto answer = AskAnswerer({ModalRequest::Kind::MessageBox, text, caption, style}))
        return *answer;
    if (LogToFile(text, caption, style))
        return DefaultAnswer(style);
    return wxMessageBox(text, caption, style, parent);
}

int RunModal(wxDialog& dialog)
{
    if (auto answer =
            AskAnswerer({ModalRequest::Kind::Dialog, dialog.GetName(), dialog.GetTitle(), 0}))
        return *answer;
    return dialog.ShowModal();
}

int ChooseOne(const wxString& message, const wxString& caption, const wxArrayString& choices,
              wxWindow* parent)
{
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
