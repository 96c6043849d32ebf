#pragma once

// A fake desktop for whole runs of the program: scripted dialogs, a scripted lookup window and scripted
// chooser windows. It can also stand for a machine without a display.

#include "lookup/carquery.h"
#include "lookup/carquery_ui.h"
#include "tests/support/fake_chassix.h"
#include "tests/support/fake_services.h"

#include <functional>
#include <string>

namespace carlume::test {

class TFakeCarqueryUi : public ICarqueryUi {
public:
    TFakeCarqueryUi();

    /// The dialogs, clipboard, shell and cursor.
    TFakeServices Fakes;
    /// The chooser windows.
    TFakeVehicleDetailFactory Choosers;
    /// Stands for the lookup window: gets the run and the record, returns whether it closed with OK.
    /// Unset: the window is closed without a vehicle.
    std::function<bool(TVehicleInfoLookup& lookup, TVinRecord& record)> LookupWindow;
    /// Called when a message box is about to be shown, before it is recorded.
    std::function<void(TMsgDlgType type, const std::string& text)> OnMessage;
    /// Nothing can be shown: every box and window raises `ENoDisplay` with this reason.
    bool NoDisplay = false;
    /// How often the lookup window was opened.
    int LookupWindowRuns = 0;
    /// Messages shown before the lookup window was first opened (-1: never opened).
    int MessagesBeforeWindow = -1;

    TApplicationServices Services() override;
    bool RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record) override;
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;
    void SetApplicationTitle(const std::string& title) override { Title = title; }

    /// The application title given (empty until then).
    std::string Title;

    /// The reason given with `ENoDisplay`.
    static constexpr const char* NoDisplayReason = "no display in this test";

private:
    class TDialogs : public IDialogService {
    public:
        explicit TDialogs(TFakeCarqueryUi& owner)
            : owner_(owner)
        {
        }
        void ShowMessage(TMsgDlgType type, const std::string& text) override;
        bool AskYesNo(const std::string& text) override;
        std::string InputBox(const std::string& caption, const std::string& prompt,
                             const std::string& defaultValue) override;

    private:
        TFakeCarqueryUi& owner_;
    };
    TDialogs dialogs_;
};

} // namespace carlume::test
