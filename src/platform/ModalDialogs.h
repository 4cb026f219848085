#pragma once
// Every message box and modal dialog of the program goes through here, so
// that tests can record what would be shown and answer it without a person.

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>
#include <optional>

class wxDialog;
class wxWindow;

namespace platform
{

struct ModalRequest
{
    enum class Kind
    {
        MessageBox,
        Dialog
    };
    Kind kind;
    wxString text;    // message text, or the dialog's name for a dialog
    wxString caption; // message box caption or dialog title
    long style;       // wxOK, wxYES_NO, wxICON_ERROR, ... for a message box
};

// Returns the answer (wxOK, wxYES, wxID_CANCEL, ...) or nothing to let the
// dialog run for real.
using ModalAnswerer = std::function<std::optional<int>(const ModalRequest&)>;

// Installs the answerer used instead of a person (an empty function removes it).
void SetModalAnswerer(ModalAnswerer answerer);

// Shows a message box and returns wxOK, wxYES, wxNO or wxCANCEL like
// wxMessageBox does. When the environment variable WAVECREST_MODAL_LOG names a
// file, the box is not shown: its icon, caption and text are appended to that
// file and its default answer is returned, so that end-to-end tests can read it.
int MessageBox(const wxString& text, const wxString& caption, long style,
               wxWindow* parent = nullptr);

// Runs a dialog modally and returns its end code; an installed answerer can
// answer in its place.
int RunModal(wxDialog& dialog);

// Chooses one of several texts (the index, or -1 when cancelled).
int ChooseOne(const wxString& message, const wxString& caption, const wxArrayString& choices,
              wxWindow* parent = nullptr);

// Asks for a file to open (empty when cancelled).
wxString ChooseFileToOpen(const wxString& message, const wxString& wildcard,
                          wxWindow* parent = nullptr);

// ---- Leaving the program while a dialog is open -----------------------------
// A modal dialog or message box runs a message loop of its own, and the code
// that opened it is still on the stack below that loop: the program may only
// go away once every such loop has returned.

// Starts keeping count of the modal dialogs that run (the functions below
// start it too); the application calls it before anything can open one.
void WatchModalDialogs();

// True while any modal dialog or message box (ours or the toolkit's) runs.
bool IsModalRunning();

// Ends every open modal dialog and message box as if the person had
// cancelled it, and from then on answers every new one at once with its
// cancel (or only) answer without showing it: nobody is there to answer any
// more. Used when the program is on its way out.
void CancelModalsForExit();

// Runs `action` from the main loop once no modal dialog runs any more (at the
// next turn of the main loop when none runs now).
void CallWhenNoModalRuns(std::function<void()> action);

} // namespace platform
