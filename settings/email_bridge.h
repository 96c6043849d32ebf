#pragma once

// The bridge to the e-mail plug-in (libtscemail.so in the program folder, "tscEmail.DLL" to the rest of
// the program). The program does not send e-mail itself: every `SendEmail` loads the plug-in, hands it one
// message and unloads it again. Load and unload failures, and whatever the plug-in throws, are shown
// through the dialog service and swallowed; only a missing plug-in file raises. The plug-in is let go only
// after what it threw is gone, as that object's code lives in the plug-in.

#include <string>

namespace carlume {

class IDialogService;
class ILogService;

/// Path of the plug-in file: the program's folder and the plug-in's Linux name.
std::string EmailDllPath();
/// True when the plug-in file exists.
bool EmailDllAvailable();
/// Loads the plug-in, resolves its four entry points and starts it; a failure is shown as
/// "tscSendEmailPortal: <reason>" and gives false. A library lacking an entry point is released at once.
/// Why a library could not be loaded at all goes to standard error and to `log` (when given).
bool LoadEmailDll(IDialogService& dialogs, ILogService* log = nullptr);
/// Stops and releases a loaded plug-in; a failure is shown as "tscSendEmailPortal: <reason>".
void UnloadEmailDll(IDialogService& dialogs);

/// One use of the plug-in: loaded on the first send, unloaded when the object goes.
class TtscEmailIntf {
public:
    /// `log` (may be null) takes why the plug-in could not be loaded.
    explicit TtscEmailIntf(IDialogService& dialogs, ILogService* log = nullptr);
    ~TtscEmailIntf();
    TtscEmailIntf(const TtscEmailIntf&) = delete;
    TtscEmailIntf& operator=(const TtscEmailIntf&) = delete;

    /// True when the plug-in file exists.
    bool PluginAvailable() const;
    /// Loads the plug-in unless loaded; raises `Exception` when the plug-in file is missing.
    void CheckLoaded();
    /// Hands the plug-in one message (empty texts go as null); false when the plug-in could not be loaded,
    /// refused the message or threw (which is shown as "tscSendEmailPortal: <reason>").
    bool SendEmail(const std::string& to, const std::string& arg2, const std::string& subject,
                   const std::string& attachment, const std::string& arg5, const std::string& arg6);
    bool Loaded() const { return loaded_; }

private:
    IDialogService& dialogs_;
    ILogService* log_;
    bool loaded_ = false;
};

/// Loads the plug-in, sends one message and unloads it, whatever happens; raises `Exception` when the plug-in
/// file is missing.
bool SendEmail(IDialogService& dialogs, const std::string& to, const std::string& arg2,
               const std::string& subject, const std::string& attachment, const std::string& arg5,
               const std::string& arg6);

} // namespace carlume
