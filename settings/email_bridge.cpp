#include "settings/email_bridge.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/sysutils.h"
#include "settings/tscemail_abi.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>
#include <utility>

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

// The text of the exception being handled. A plug-in may throw a type of its own, known only by name.
std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return VisibleControls(e.what());
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        if (type == nullptr)
            return "unknown error";
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> name(
            abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), std::free);
        return "an error of type " + std::string(status == 0 && name ? name.get() : type->name());
    }
}

void ShowFailure(IDialogService& dialogs, const std::string& text)
{
    dialogs.ShowMessage(TMsgDlgType::mtCustom, Format(kPortalFormat, text));
}

template <class Body> void Guarded(IDialogService& dialogs, Body body)
{
    std::string failure;
    try {
        body();
        return;
    } catch (...) {
        failure = CurrentExceptionText();
    }
    ShowFailure(dialogs, failure);
}

// Runs a call into the plug-in; what it threw, as text ("" when nothing). The exception object, whose
// code lives in the plug-in, is gone when this returns, so the library may be let go afterwards.
template <class Call> std::string PluginFailure(Call call)
{
    try {
        call();
        return {};
    } catch (...) {
        return CurrentExceptionText();
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

bool LoadEmailDll(IDialogService& dialogs, ILogService* log)
{
    bool resolved = false;
    Guarded(dialogs, [&] {
        const std::string path = EmailDllPath();
        dll.Handle = LoadLibrary(path);
        if (!dll.Handle) {
            // The box keeps its specified text; why goes where the installation's keeper looks.
            const std::string reason =
                Format(kPortalFormat, VisibleControls(path) + ": " + VisibleControls(LibraryError()));
            std::fprintf(stderr, "%s\n", reason.c_str());
            if (log != nullptr)
                log->Log(reason);
            throw Exception(Format("Unable to load %s", VisibleControls(path)));
        }
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
    if (!dll.Handle)
        return;
    const TEmailDll loaded = std::exchange(dll, TEmailDll{});
    const std::string stopFailure = PluginFailure([&] { loaded.Stop(); });
    const std::string releaseFailure =
        FreeLibrary(loaded.Handle) ? std::string() : VisibleControls(LibraryError());
    for (const std::string& failure : {stopFailure, releaseFailure})
        if (!failure.empty())
            ShowFailure(dialogs, failure);
}

TtscEmailIntf::TtscEmailIntf(IDialogService& dialogs, ILogService* log)
    : dialogs_(dialogs)
    , log_(log)
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
        loaded_ = LoadEmailDll(dialogs_, log_);
}

bool TtscEmailIntf::SendEmail(const std::string& to, const std::string& arg2, const std::string& subject,
                              const std::string& attachment, const std::string& arg5, const std::string& arg6)
{
    CheckLoaded();
    if (!loaded_)
        return false;
    int sent = 0;
    const std::string failure = PluginFailure([&] {
        sent = dll.Send(OrNull(to), OrNull(arg2), OrNull(subject), OrNull(attachment), OrNull(arg5),
                        OrNull(arg6));
    });
    if (failure.empty())
        return sent != 0;
    // A plug-in that failed this way has not sent the message; it is stopped and let go as usual.
    ShowFailure(dialogs_, failure);
    return false;
}

bool SendEmail(IDialogService& dialogs, const std::string& to, const std::string& arg2,
               const std::string& subject, const std::string& attachment, const std::string& arg5,
               const std::string& arg6)
{
    TtscEmailIntf email(dialogs);
    return email.SendEmail(to, arg2, subject, attachment, arg5, arg6);
}

} // namespace carlume
