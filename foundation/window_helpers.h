#pragma once

// Message boxes, the shell, the Windows folder and file versions, for every window of the program. The
// desktop is reached only through the services of platform/services.h, which the caller passes in.
// Centring a form and fitting it to its controls need Qt and live in form_helpers.h.

#include "platform/services.h"

#include <string>

namespace carlume {

/// Shows a screen cursor for its lifetime and then puts back the cursor shown before, also when an
/// exception leaves the scope. Does nothing without a cursor service.
class ScopedScreenCursor {
public:
    /// Saves the current cursor of `cursor` (may be null) and shows `shown`.
    explicit ScopedScreenCursor(IScreenCursorService* cursor, TCursor shown = crDefault);
    ~ScopedScreenCursor();
    ScopedScreenCursor(const ScopedScreenCursor&) = delete;
    ScopedScreenCursor& operator=(const ScopedScreenCursor&) = delete;

private:
    IScreenCursorService* cursor_;
    TCursor saved_ = crDefault;
};

/// Shows `message` exactly as given (no "&" handling, plain text) in a message dialog of kind `type` with
/// an OK button, with the default cursor while it is open. Without a dialog service the message goes to
/// standard error.
void ShowMessageDlg(const TApplicationServices& services, const std::string& message, TMsgDlgType type);
/// `ShowMessageDlg` of an information message.
void ShowInfoMessage(const TApplicationServices& services, const std::string& message);
/// `ShowMessageDlg` of an error message.
void ShowErrorMessage(const TApplicationServices& services, const std::string& message);
/// Asks a Yes/No question (shown like `ShowMessageDlg`); true only when the user chose Yes. Without a
/// dialog service the question goes to standard error and the answer is No.
bool AskYesNo(const TApplicationServices& services, const std::string& message);

/// Opens a file, folder, web address or "MailTo:" address with its default handler through the shell
/// service; `showCommand` is the Windows show command (1 normal, 5 show). False when nothing was opened
/// or there is no shell service.
bool ShellExec(const TApplicationServices& services, const std::string& file, const std::string& parameters,
               const std::string& folder, int showCommand);

/// Adds `message` to the program's log through the services' logger; nothing without one.
void LogMessage(const TApplicationServices& services, const std::string& message);

/// The Windows folder, trimmed, with exactly one trailing "/" ("" when the system names none).
std::string GetWindowsDir();

/// Version keys, by the index callers pass to `GetFileVersionString`.
enum TVersionKey {
    vkCompanyName = 0,
    vkFileDescription = 1,
    vkFileVersion = 2,
    vkInternalName = 3,
    vkLegalCopyright = 4,
    vkLegalTradeMarks = 5,
    vkOriginalFilename = 6,
    vkProductName = 7,
    vkProductVersion = 8,
    vkComments = 9,
};

/// Name of the version key of `index` ("CompanyName" ... "Comments"); "" for an index outside 0..9.
std::string VersionKeyName(int index);
/// The version text of key `index` (0..9, see `TVersionKey`) stored in `fileName`; "" for a missing or
/// unreadable file, a file without version, a missing key or an index outside 0..9.
std::string GetFileVersionString(const std::string& fileName, int index);

} // namespace carlume
