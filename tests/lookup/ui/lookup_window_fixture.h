#pragma once

// A lookup window on the stand-in engine, copied into a temporary program folder, with fake services and
// real chooser windows; the clock, the locale and every folder are fixed.

#include "foundation/app_info.h"
#include "lookup/carquery.h"
#include "lookup/chassix_portal.h"
#include "lookup/ui/lookup_window.h"
#include "lookup/ui/vehicle_detail_window.h"
#include "platform/date_time.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/support/fake_services.h"
#include "tests/support/pdf_printer.h"
#include "tests/support/scoped_error_dialogs.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace carlume::test {

/// 2026-12-06, noon.
inline constexpr TDateTime kToday = 46362.5;
/// The same day without its time, as the date field gives it back.
inline constexpr TDateTime kTodayDate = 46362;

class LookupWindowTest : public ::testing::Test {
protected:
    LookupWindowTest();
    ~LookupWindowTest() override;
    void SetUp() override;
    void TearDown() override;

    /// Loads the engine (a run object) and builds the window on `record_`; the window works with `engine`
    /// when one is given, else with the loaded stand-in, and prints through `printer` when one is given,
    /// else through `printer_`. The About box is `showAboutBox_`.
    TfrmCarquery& Open(bool startedWithParams, IChassixCalls* engine = nullptr,
                       IPrinterService* printer = nullptr);
    /// Shows the window (without a modal loop) and waits until it is exposed.
    void Show();
    /// Opens the window on a cleared record and shows it.
    void OpenShown(bool startedWithParams)
    {
        record_.Clear();
        Open(startedWithParams);
        Show();
    }
    /// Closes and frees the window, then the run object (which unloads the engine).
    void CloseAll();

    /// The engine's journal since the last `ResetJournal`, one call per line.
    std::vector<std::string> Journal() const;
    /// The journal lines that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const;
    /// Forgets the engine's journal so far.
    void ResetJournal() const;
    /// Engine list entries alive right now.
    int LiveEntries() const;
    /// Lets the engine entry points listed (comma-separated) throw.
    void ThrowIn(const std::string& entries) const;

    /// A child control of the window.
    template <class T> T& Control(const char* name) const
    {
        T* control = window_->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr)
            throw std::runtime_error(std::string("no control ") + name);
        return *control;
    }
    /// Picks the entry with `text` in a list as the user does.
    void Pick(const char* list, const QString& text) const;
    /// The entries of a list.
    QStringList Entries(const char* list) const;
    /// The selected entry of a list ("" when none).
    QString Selected(const char* list) const;
    /// The criteria line as shown.
    QString Criteria() const;
    /// The result grid, one "label|value" text per row.
    std::vector<std::string> ResultRows() const;
    /// The messages shown, of every kind, in order.
    std::vector<std::string> Messages() const;

    ScratchFolder program_;
    ScratchFolder windows_;
    ScratchFolder rating_;
    ScopedFolderOverride exe_{TFolder::ProgramFile, program_ / "cquery"};
    ScopedFolderOverride windir_{TFolder::Windows, windows_.Path()};
    ScopedFolderOverride ratingProgram_{TFolder::RatingProgram, rating_ / "none/"};
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TFakeServices fakes_;
    TScopedHandlerErrorDialogs errors_{&fakes_.Dialogs};
    TVehicleDetailFactory choosers_;
    /// Prints to report.pdf in the program folder; any print dialog not scripted fails the test.
    std::unique_ptr<TPdfPrinterService> printer_;
    TShowAboutBox showAboutBox_ = ShowAboutBox;
    std::unique_ptr<TAppInfo> appInfo_;
    std::unique_ptr<TVehicleInfoLookup> lookup_;
    TVinRecord record_;
    std::unique_ptr<TfrmCarquery> window_;
};

} // namespace carlume::test
