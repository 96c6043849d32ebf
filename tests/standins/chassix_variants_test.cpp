#include "tests/standins/chassix_loader.h"
#include "tests/standins/chassix_paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ChassixVariants, OnePerEntryPointInItsOwnFolder)
{
    const std::vector<std::string> names = ChassixEntryNames();
    ASSERT_EQ(std::size(kChassixVariantPaths), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path path = kChassixVariantPaths[i];
        EXPECT_EQ(path.filename(), "libchassix.so");
        EXPECT_EQ(path.parent_path().filename(), "no_" + names[i]);
        EXPECT_NE(path.parent_path(), fs::path(kChassixLibraryPath).parent_path());
    }
}

class ChassixVariant : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ChassixVariant, LacksExactlyItsEntryPoint)
{
    const std::string name = ChassixEntryNames()[GetParam()];
    LoadedLibrary library(kChassixVariantPaths[GetParam()]);
    ASSERT_TRUE(library.Loaded()) << dlerror();
    ChassixTable table;
    EXPECT_THAT(library.Resolve(table), ElementsAre(name));
    ChassixControls controls;
    EXPECT_THAT(library.Resolve(controls), IsEmpty());

    // What is there still works: a loader that stops at the missing name has started nothing.
    if (table.ChassixStart && table.ChassixStop) {
        table.ChassixStart();
        table.ChassixStop();
        char* journal = controls.ChassixFakeJournalText();
        EXPECT_STREQ(journal, "ChassixStart -> 0\nChassixStop -> 0\n");
        std::free(journal);
    }
}

INSTANTIATE_TEST_SUITE_P(EachEntryPoint, ChassixVariant,
                         ::testing::Range(std::size_t(0), std::size_t(CHASSIX_ENTRY_POINT_COUNT)),
                         [](const ::testing::TestParamInfo<std::size_t>& row) {
                             return "no_" + ChassixEntryNames()[row.param];
                         });

} // namespace
} // namespace carlume::test
