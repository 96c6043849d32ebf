#include "lookup/printout_font_size.h"

#include "platform/exceptions.h"
#include "tests/support/fake_services.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// --- settings.ini -----------------------------------------------------------------------------------------

class PrintoutFontSizeFileTest : public ::testing::Test {
protected:
    std::string AppPath() const { return folder_.Path() + "/"; }
    std::string SettingsFile() const { return folder_ / "settings.ini"; }

    ScratchFolder folder_;
};

TEST_F(PrintoutFontSizeFileTest, StoredSizesAreReadAsTheyAreAndNonNumbersGiveTheDefault)
{
    struct TCase {
        std::string Contents;
        int Expected;
    };
    const TCase cases[] = {
        {"[Settings]\r\nPrintoutFontSize=12\r\n", 12},
        {"[settings]\nprintoutfontsize= 9 \n", 9},
        {"[Settings]\r\nPrintoutFontSize=$B\r\n", 11},
        // Out of range is kept: the report brings it into 8..14 when it prints.
        {"[Settings]\r\nPrintoutFontSize=7\r\n", 7},
        {"[Settings]\r\nPrintoutFontSize=15\r\n", 15},
        {"[Settings]\r\nPrintoutFontSize=-12\r\n", -12},
        {"[Settings]\r\nPrintoutFontSize=99999999999\r\n", 10},
        {"[Settings]\r\nPrintoutFontSize=12pt\r\n", 10},
        {"[Settings]\r\nPrintoutFontSize=\r\n", 10},
        {"[Other]\r\nPrintoutFontSize=12\r\n", 10},
        {"", 10},
        {std::string("\xff\xfe[\0S\0", 6), 10},
    };
    EXPECT_EQ(LoadPrintoutFontSize(AppPath()), 10) << "no file";
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    for (const TCase& c : cases) {
        WriteAll(SettingsFile(), c.Contents);
        EXPECT_EQ(LoadPrintoutFontSize(AppPath()), c.Expected) << c.Contents;
    }
}

// --- the input box ----------------------------------------------------------------------------------------

struct TAnswerCase {
    std::optional<std::string> Typed; // nullopt: Cancel
    std::optional<int> Size;
    const char* Message;
};

void PrintTo(const TAnswerCase& c, std::ostream* out)
{
    *out << (c.Typed ? "\"" + *c.Typed + "\"" : std::string("Cancel"));
}

class AskPrintoutFontSizeTest : public ::testing::TestWithParam<TAnswerCase> {};

TEST_P(AskPrintoutFontSizeTest, TheAnswerIsCheckedForNumberAndRange)
{
    TFakeServices services;
    if (GetParam().Typed)
        services.Dialogs.QueueInput(*GetParam().Typed);
    else
        services.Dialogs.QueueInputCancel();

    EXPECT_EQ(AskPrintoutFontSize(services.Services(), 11), GetParam().Size);

    const auto& requests = services.Dialogs.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Kind, TDialogRequest::TKind::Input);
    EXPECT_EQ(requests[0].Caption, "Printout Font Size");
    EXPECT_EQ(requests[0].Text, "Provide a new printout font size below (8-14)");
    EXPECT_EQ(requests[0].Default, "11");
    if (GetParam().Message[0] != '\0')
        EXPECT_THAT(services.Dialogs.Messages(TMsgDlgType::mtInformation), ElementsAre(GetParam().Message));
    else
        EXPECT_EQ(requests.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AskPrintoutFontSizeTest,
    ::testing::Values(TAnswerCase{"8", 8, ""}, TAnswerCase{"14", 14, ""}, TAnswerCase{" 9", 9, ""},
                      TAnswerCase{"$A", 10, ""}, TAnswerCase{std::nullopt, 11, ""},
                      TAnswerCase{"7", std::nullopt, "The value must be between 8 and 14"},
                      TAnswerCase{"15", std::nullopt, "The value must be between 8 and 14"},
                      TAnswerCase{"-9", std::nullopt, "The value must be between 8 and 14"},
                      TAnswerCase{"abc", std::nullopt, "The value must be numeric"},
                      TAnswerCase{"", std::nullopt, "The value must be numeric"},
                      TAnswerCase{"9.5", std::nullopt, "The value must be numeric"},
                      TAnswerCase{"10 ", std::nullopt, "The value must be numeric"},
                      TAnswerCase{"99999999999", std::nullopt, "The value must be numeric"}),
    [](const auto& row) {
        return row.param.Typed ? "Typed" + Spelled(*row.param.Typed) : std::string("Cancelled");
    });

TEST(AskPrintoutFontSize, WithoutADialogServiceTheCurrentSizeStays)
{
    EXPECT_EQ(AskPrintoutFontSize(TApplicationServices{}, 13), 13);
}

} // namespace
} // namespace carlume::test
