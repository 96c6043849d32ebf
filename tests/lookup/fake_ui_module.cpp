// A stand-in for the UI module, for the tests of the program's module loader: no Qt, it only notes what
// it was asked to show. FAKE_UI_REFUSE=<reason> makes its factory refuse as a module without a display.

#include "lookup/ui_module.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Shown;
int Cursor = carlume::crDefault;
int Creations = 0;

void Note(const std::string& text)
{
    Shown += text + "\n";
}

class TDialogs final : public carlume::IDialogService {
public:
    void ShowMessage(carlume::TMsgDlgType, const std::string& text) override { Note("message:" + text); }
    bool AskYesNo(const std::string& text) override
    {
        Note("question:" + text);
        return true;
    }
    std::string InputBox(const std::string&, const std::string& prompt, const std::string&) override
    {
        Note("input:" + prompt);
        return "typed";
    }
};

class TCursor final : public carlume::IScreenCursorService {
public:
    carlume::TCursor Cursor() const override { return ::Cursor; }
    void SetCursor(carlume::TCursor cursor) override { ::Cursor = cursor; }
};

class TFakeModuleUi final : public carlume::ICarqueryUi {
public:
    carlume::TApplicationServices Services() override
    {
        carlume::TApplicationServices services;
        services.Dialogs = &dialogs_;
        services.ScreenCursor = &cursor_;
        return services;
    }
    bool RunLookupWindowModal(carlume::TVehicleInfoLookup&, carlume::TVinRecord&) override
    {
        Note("lookup window");
        return true;
    }
    std::unique_ptr<carlume::IVehicleDetailWindow> CreateVehicleDetailWindow() override
    {
        Note("chooser");
        return nullptr;
    }
    void SetApplicationTitle(const std::string& title) override { Note("title:" + title); }

private:
    TDialogs dialogs_;
    TCursor cursor_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int CarlumeUiCreate(unsigned interfaceVersion,
                                                                      carlume::ICarqueryUi** ui, char* reason,
                                                                      std::size_t reasonSize) noexcept
{
    ++Creations;
    *ui = nullptr;
    const char* refuse = std::getenv("FAKE_UI_REFUSE");
    if (refuse != nullptr || interfaceVersion != carlume::UiModuleInterfaceVersion) {
        std::strncpy(reason, refuse != nullptr ? refuse : "wrong version", reasonSize - 1);
        reason[reasonSize - 1] = '\0';
        return carlume::uiModuleNoDisplay;
    }
    *ui = new TFakeModuleUi();
    return carlume::uiModuleOk;
}

/// What the module was asked to show, one line each.
extern "C" __attribute__((visibility("default"))) const char* FakeUiShown()
{
    return Shown.c_str();
}

/// The cursor the module's service was given last.
extern "C" __attribute__((visibility("default"))) int FakeUiCursor()
{
    return Cursor;
}

/// How often the factory was called.
extern "C" __attribute__((visibility("default"))) int FakeUiCreations()
{
    return Creations;
}

/// Forgets everything noted.
extern "C" __attribute__((visibility("default"))) void FakeUiReset()
{
    Shown.clear();
    Cursor = carlume::crDefault;
    Creations = 0;
}
