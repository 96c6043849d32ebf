#include "lookup/lazy_ui.h"

#include "lookup/ui_module.h"
#include "platform/library.h"
#include "platform/module_entry.h"
#include "platform/sysutils.h"

#include <utility>

namespace carlume {

namespace {

const std::string LookupWindowText = "The lookup window cannot be shown.";
const std::string ChooserText = "The list of matching vehicles cannot be shown.";
const std::string ClipboardText = "The clipboard cannot be used.";

} // namespace

ENoDisplay::ENoDisplay(std::string text, std::string reason)
    : Exception(std::move(text))
    , reason_(std::move(reason))
{
}

class TLazyCarqueryUi::TDialogs final : public IDialogService {
public:
    explicit TDialogs(TLazyCarqueryUi& owner)
        : owner_(owner)
    {
    }
    void ShowMessage(TMsgDlgType type, const std::string& text) override
    {
        owner_.Real(text).Services().Dialogs->ShowMessage(type, text);
    }
    bool AskYesNo(const std::string& text) override
    {
        return owner_.Real(text).Services().Dialogs->AskYesNo(text);
    }
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultValue) override
    {
        return owner_.Real(prompt).Services().Dialogs->InputBox(caption, prompt, defaultValue);
    }

private:
    TLazyCarqueryUi& owner_;
};

class TLazyCarqueryUi::TClipboard final : public IClipboardService {
public:
    explicit TClipboard(TLazyCarqueryUi& owner)
        : owner_(owner)
    {
    }
    void SetText(const std::string& text) override
    {
        owner_.Real(ClipboardText).Services().Clipboard->SetText(text);
    }
    std::string Text() const override { return owner_.Real(ClipboardText).Services().Clipboard->Text(); }

private:
    TLazyCarqueryUi& owner_;
};

class TLazyCarqueryUi::TShell final : public IShellService {
public:
    explicit TShell(TLazyCarqueryUi& owner)
        : owner_(owner)
    {
    }
    bool Open(const std::string& file, const std::string& parameters, const std::string& folder,
              int showCommand) override
    {
        return owner_.Real("Unable to open " + VisibleControls(file))
            .Services()
            .Shell->Open(file, parameters, folder, showCommand);
    }

private:
    TLazyCarqueryUi& owner_;
};

// No window shows a cursor before the module is there; until then the cursor is only remembered.
class TLazyCarqueryUi::TScreenCursor final : public IScreenCursorService {
public:
    explicit TScreenCursor(TLazyCarqueryUi& owner)
        : owner_(owner)
    {
    }
    TCursor Cursor() const override
    {
        return owner_.Loaded() ? owner_.real_->Services().ScreenCursor->Cursor() : cursor_;
    }
    void SetCursor(TCursor cursor) override
    {
        cursor_ = cursor;
        if (owner_.Loaded())
            owner_.real_->Services().ScreenCursor->SetCursor(cursor);
    }
    /// Hands the remembered cursor to the module's service.
    void HandOver()
    {
        if (cursor_ != crDefault)
            owner_.real_->Services().ScreenCursor->SetCursor(cursor_);
    }

private:
    TLazyCarqueryUi& owner_;
    TCursor cursor_ = crDefault;
};

TLazyCarqueryUi::TLazyCarqueryUi()
    : TLazyCarqueryUi(std::string(UiModuleName))
{
}

TLazyCarqueryUi::TLazyCarqueryUi(std::string modulePath)
    : modulePath_(std::move(modulePath))
    , dialogs_(std::make_unique<TDialogs>(*this))
    , clipboard_(std::make_unique<TClipboard>(*this))
    , shell_(std::make_unique<TShell>(*this))
    , cursor_(std::make_unique<TScreenCursor>(*this))
{
}

TLazyCarqueryUi::~TLazyCarqueryUi()
{
    delete real_;
}

TApplicationServices TLazyCarqueryUi::Services()
{
    TApplicationServices services;
    services.Dialogs = dialogs_.get();
    services.Clipboard = clipboard_.get();
    services.Shell = shell_.get();
    services.ScreenCursor = cursor_.get();
    return services;
}

bool TLazyCarqueryUi::RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record)
{
    return Real(LookupWindowText).RunLookupWindowModal(lookup, record);
}

std::unique_ptr<IVehicleDetailWindow> TLazyCarqueryUi::CreateVehicleDetailWindow()
{
    return Real(ChooserText).CreateVehicleDetailWindow();
}

void TLazyCarqueryUi::SetApplicationTitle(const std::string& title)
{
    if (Loaded())
        real_->SetApplicationTitle(title);
}

ICarqueryUi& TLazyCarqueryUi::Real(const std::string& text)
{
    if (real_ != nullptr)
        return *real_;
    // One attempt per run: a module that failed once fails the same way again.
    if (!failure_) {
        std::string failure;
        if (void* entry =
                LoadModuleEntry(modulePath_, UiModuleFactoryName, {"user interface", "a"}, failure)) {
            ICarqueryUi* ui = nullptr;
            std::string reason;
            if (CallModuleEntry(entry, UiModuleInterfaceVersion, ui, reason) != uiModuleOk || ui == nullptr) {
                delete ui;
                failure = !reason.empty() ? reason
                                          : VisibleControls(LibraryPath(modulePath_)) + " refused to start";
            } else {
                real_ = ui;
                cursor_->HandOver();
            }
        }
        if (real_ == nullptr)
            failure_ = failure;
    }
    if (real_ == nullptr)
        throw ENoDisplay(text, *failure_);
    return *real_;
}

} // namespace carlume
