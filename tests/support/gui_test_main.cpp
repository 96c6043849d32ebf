// The main function of every GUI test binary: the offscreen platform, one application object with the
// fixed font substitutions, then GoogleTest.

#include "platform/gui/application.h"
#include "platform/gui/error_guard.h"

#include <QThreadPool>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

// Each test starts with errors of event handlers shown the default way, whatever the previous test set.
class ResetHandlerErrors : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { carlume::SetHandlerErrorDialogs(nullptr); }
};

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    std::filesystem::path runtimeFolder;
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string pattern = (std::filesystem::temp_directory_path() / "carlume-xdg-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            runtimeFolder = pattern;
            setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        carlume::TApplication application(argc, argv);
        ::testing::UnitTest::GetInstance()->listeners().Append(new ResetHandlerErrors);
        result = RUN_ALL_TESTS();
        // Qt paints large areas on threads of its global pool; they end here, before the process exits,
        // so the leak check at exit never meets one still winding down.
        QThreadPool::globalInstance()->waitForDone();
    }
    if (!runtimeFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(runtimeFolder, ec);
    }
    return result;
}
