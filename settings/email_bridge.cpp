#include "settings/email_bridge.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "settings/tscemail_abi.h"

#include <exception>

namespace carlume {

namespace {

// The loaded plug-in; one per process, as the plug-in itself keeps global state.
struct TEmailDll {
    HMODULE Handle = nullptr;
    TscEmailStartFn Start = nullptr;
    TscEmailStopFn Stop = nullptr;
    TscBopSendEmailFn BopSend = nullptr;
    TscTSCSendEmailFn Send = nullptr;
};
TEmailDll dll;

constexpr const char* kPortalFormat = "tscSendEmailPortal: %s";

template <class Fn> void Resolve(Fn& entry, const char* name)
{
    entry = GetProcAddressAs<Fn>(dll.Handle, name);
    if (!entry)
        throw Exception(Format(std::string("%s - ") + name, "Routine not valid."));
}

template <class Body> void Guarded(IDialogService& dialogs, Body body)
{
    try {
        body();
    } catch (const std::exception& e) {
        dialogs.ShowMessage(TMsgDlgType::mtCustom, Format(kPortalFormat, e.what()));
    } catch (...) {
        dialogs.ShowMessage(TMsgDlgType::mtCustom, Format(kPortalFormat, "unknown error"));
    }
}

const char* OrNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

std::string EmailDllPath()
{
    return LibraryPath(Format("%s/%s", ExcludeTrailingPathDelimiter(ProgramFolder()), "tscEmail.DLL"));
}

bool EmailDllAvailable()
{
    return FileExists(EmailDllPath());
}

bool LoadEmailDll(IDialogService& dialogs)
{
    bool resolved = false;
    Guarded(dialogs, [&] {
        const std::string path = EmailDllPath();
        dll.Handle = LoadLibrary(path);
        if (!dll.Handle)
            throw Exception(Format("Unable to load %s", path));
        try {
            Resolve(dll.Start, "tscEmailStart");
            Resolve(dll.Stop, "tscEmailStop");
            Resolve(dll.BopSend, "tscBopSendEmail");
            Resolve(dll.Send, "tscTSCSendEmail");
        } catch (...) {
            // A refused plug-in is let go at once, so a corrected file is really loaded next time.
            FreeLibrary(dll.Handle);
            dll = {};
            throw;
        }
        resolved = true;
        dll.Start(0);
    });
    return resolved;
}

void UnloadEmailDll(IDialogService& dialogs)
{
    Guarded(dialogs, [&] {
        if (!dll.Handle)
            return;
        const TEmailDll loaded = dll;
        dll = {};
        try {
            loaded.Stop();
        } catch (...) {
            FreeLibrary(loaded.Handle);
            throw;
        }
        if (!FreeLibrary(loaded.Handle))
            throw Exception(LibraryError());
    });
}

TtscEmailIntf::TtscEmailIntf(IDialogService& dialogs)
    : dialogs_(dialogs)
{
}

TtscEmailIntf::~TtscEmailIntf()
{
    if (loaded_)
        UnloadEmailDll(dialogs_);
}

bool TtscEmailIntf::PluginAvailable() const
{
    return EmailDllAvailable();
}

void TtscEmailIntf::CheckLoaded()
{
    if (!PluginAvailable())
        throw Exception("Attempt to access TSC Send Email library when plugin not available");
    if (!loaded_)
        loaded_ = LoadEmailDll(dialogs_);
}

bool TtscEmailIntf::SendEmail(const std::string& to, const std::string& arg2, const std::string& subject,
                              const std::string& attachment, const std::string& arg5, const std::string& arg6)
{
    CheckLoaded();
    if (!loaded_)
        return false;
    return dll.Send(OrNull(to), OrNull(arg2), OrNull(subject), OrNull(attachment), OrNull(arg5),
                    OrNull(arg6)) != 0;
}

bool SendEmail(IDialogService& dialogs, const std::string& to, const std::string& arg2,
               const std::string& subject, const std::string& attachment, const std::string& arg5,
               const std::string& arg6)
{
    TtscEmailIntf email(dialogs);
    return email.SendEmail(to, arg2, subject, attachment, arg5, arg6);
}

} // namespace carlume
