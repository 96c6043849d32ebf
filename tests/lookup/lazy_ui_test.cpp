#include "lookup/lazy_ui.h"

#include "lookup/carquery.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/program_paths.h"
#include "tests/support/scratch_folder.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The fake module's own exports, reached through a second handle on the already loaded library.
class FakeModule {
public:
    FakeModule()
        : handle_(dlopen(kFakeUiModulePath, RTLD_NOW | RTLD_NOLOAD))
    {
    }
    ~FakeModule()
    {
        if (handle_ != nullptr)
            dlclose(handle_);
    }
    FakeModule(const FakeModule&) = delete;
    FakeModule& operator=(const FakeModule&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    std::string Shown() const { return Call<const char* (*)()>("FakeUiShown")(); }
    int Cursor() const { return Call<int (*)()>("FakeUiCursor")(); }
    int Creations() const { return Call<int (*)()>("FakeUiCreations")(); }
    void Reset() const { Call<void (*)()>("FakeUiReset")(); }

private:
    template <class F> F Call(const char* name) const { return reinterpret_cast<F>(dlsym(handle_, name)); }
    void* handle_;
};

class LazyUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("FAKE_UI_REFUSE");
        const FakeModule module;
        if (module.Loaded())
            module.Reset();
    }
    void TearDown() override { unsetenv("FAKE_UI_REFUSE"); }
};

TEST_F(LazyUiTest, NothingIsLoadedUntilSomethingIsShownAndTheCursorIsHandedOver)
{
    TLazyCarqueryUi ui(kFakeUiModulePath);
    const TApplicationServices services = ui.Services();
    EXPECT_EQ(services.ScreenCursor->Cursor(), crDefault);
    services.ScreenCursor->SetCursor(crHourGlass);
    EXPECT_EQ(services.ScreenCursor->Cursor(), crHourGlass);
    EXPECT_FALSE(ui.Loaded());

    services.Dialogs->ShowMessage(TMsgDlgType::mtInformation, "hello");
    ASSERT_TRUE(ui.Loaded());
    const FakeModule module;
    ASSERT_TRUE(module.Loaded());
    EXPECT_EQ(module.Shown(), "message:hello\n");
    EXPECT_EQ(module.Cursor(), crHourGlass);

    EXPECT_TRUE(services.Dialogs->AskYesNo("sure?"));
    EXPECT_EQ(services.Dialogs->InputBox("c", "size?", "10"), "typed");
    services.ScreenCursor->SetCursor(crArrow);
    EXPECT_EQ(module.Cursor(), crArrow);
    EXPECT_EQ(services.ScreenCursor->Cursor(), crArrow);
    EXPECT_EQ(ui.CreateVehicleDetailWindow(), nullptr);
    EXPECT_EQ(module.Shown(), "message:hello\nquestion:sure?\ninput:size?\nchooser\n");
    EXPECT_EQ(module.Creations(), 1);
}

TEST_F(LazyUiTest, AModuleThatFindsNoDisplayLeavesEveryBoxUnshown)
{
    setenv("FAKE_UI_REFUSE", "no display for the test", 1);
    TLazyCarqueryUi ui(kFakeUiModulePath);
    for (const std::string text : {"first", "second"}) {
        try {
            ui.Services().Dialogs->ShowMessage(TMsgDlgType::mtError, text);
            FAIL() << "shown";
        } catch (const ENoDisplay& e) {
            EXPECT_EQ(e.Message(), text);
            EXPECT_EQ(e.Reason(), "no display for the test");
        }
    }
    // Asked once; the answer stands for the run.
    EXPECT_EQ(FakeModule().Creations(), 1);
    EXPECT_FALSE(ui.Loaded());
}

TEST_F(LazyUiTest, AMissingModuleNamesThePathTried)
{
    ScratchFolder folder;
    TLazyCarqueryUi ui(folder / "CARLUME_UI.DLL");
    try {
        ui.Services().Clipboard->SetText("x");
        FAIL() << "used";
    } catch (const ENoDisplay& e) {
        EXPECT_EQ(e.Message(), "The clipboard cannot be used.");
        EXPECT_THAT(e.Reason(),
                    StartsWith("Unable to load the user interface " + (folder / "libcarlume_ui.so") + ": "));
    }
    EXPECT_THROW(ui.Services().Shell->Open("https://example.com", "", "", 1), ENoDisplay);
    EXPECT_THROW(ui.CreateVehicleDetailWindow(), ENoDisplay);
}

TEST_F(LazyUiTest, ALibraryThatIsNoUiModuleIsRefused)
{
    ScratchFolder folder;
    fs::copy_file(kChassixLibraryPath, folder / "libcarlume_ui.so");
    TLazyCarqueryUi ui(folder / "libcarlume_ui.so");
    try {
        ui.Services().Dialogs->AskYesNo("?");
        FAIL() << "asked";
    } catch (const ENoDisplay& e) {
        EXPECT_EQ(e.Reason(),
                  folder / "libcarlume_ui.so" + " is not a user interface module of this program");
    }
}

TEST_F(LazyUiTest, TheLookupWindowComesFromTheModule)
{
    ScratchFolder program;
    fs::create_directory(program / "Data");
    fs::copy_file(kChassixLibraryPath, program / "libchassix.so");
    ScopedFolderOverride exe(TFolder::ProgramFile, program / "cquery");
    TAppInfo appInfo;
    TVehicleInfoLookup lookup(appInfo, false, nullptr);
    TVinRecord record;

    TLazyCarqueryUi missing(program / "CARLUME_UI.DLL");
    try {
        missing.RunLookupWindowModal(lookup, record);
        FAIL() << "shown";
    } catch (const ENoDisplay& e) {
        EXPECT_EQ(e.Message(), "The lookup window cannot be shown.");
    }

    TLazyCarqueryUi ui(kFakeUiModulePath);
    EXPECT_TRUE(RunLookupWindowModal(ui, lookup, record));
    EXPECT_THAT(FakeModule().Shown(), HasSubstr("lookup window\n"));
}

} // namespace
} // namespace carlume::test
