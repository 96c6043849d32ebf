#pragma once

// The program's `ICarqueryUi`: it loads the UI module (and with it Qt) on the first call that really
// shows something, so a silent run that shows nothing never loads the windowing library. When the module
// cannot be loaded or finds no display, every call that would show something raises `ENoDisplay`.

#include "lookup/carquery_ui.h"

#include <memory>
#include <optional>
#include <string>

namespace carlume {

/// An `ICarqueryUi` that loads the UI module on first need.
class TLazyCarqueryUi final : public ICarqueryUi {
public:
    /// The UI module from the program's folder.
    TLazyCarqueryUi();
    /// The UI module at `modulePath` (a Windows name or a path; see platform/library.h).
    explicit TLazyCarqueryUi(std::string modulePath);
    /// Deletes the module's interface (and with it the Qt application); the module stays loaded.
    ~TLazyCarqueryUi() override;
    TLazyCarqueryUi(const TLazyCarqueryUi&) = delete;
    TLazyCarqueryUi& operator=(const TLazyCarqueryUi&) = delete;

    /// Services that load the module only to show a box, set the clipboard or open something. The screen
    /// cursor is only remembered until the module is there, and then handed over.
    TApplicationServices Services() override;
    /// The module's lookup window.
    bool RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record) override;
    /// The module's chooser window.
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;
    /// Titles the module's application; without the module there is no application to title.
    void SetApplicationTitle(const std::string& title) override;

    /// True once the module was loaded and gave its interface.
    bool Loaded() const { return real_ != nullptr; }
    /// The module's interface, loading it first; raises `ENoDisplay` (with `text` as what was to be shown)
    /// when it cannot be had.
    ICarqueryUi& Real(const std::string& text);

private:
    class TDialogs;
    class TClipboard;
    class TShell;
    class TScreenCursor;

    std::string modulePath_;
    ICarqueryUi* real_ = nullptr;
    std::optional<std::string> failure_;
    std::unique_ptr<TDialogs> dialogs_;
    std::unique_ptr<TClipboard> clipboard_;
    std::unique_ptr<TShell> shell_;
    std::unique_ptr<TScreenCursor> cursor_;
};

} // namespace carlume
