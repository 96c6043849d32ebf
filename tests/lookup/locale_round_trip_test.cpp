// Every date the program writes (the hand-back file's effective date) it reads back (the /EFFECTIVE switch
// and a typed date), in real locales: compiled here from their definitions with localedef, and whatever
// the machine has installed.

#include "lookup/command_line.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefinitions = "/usr/share/i18n/locales";

struct LocaleCase {
    const char* Name;
    const char* shortDate;
    char separator;
};

// Month-, day- and year-first, two-digit years, blanks and a trailing separator, and locales whose own
// short date holds names or non-ASCII words.
const LocaleCase kLocales[] = {
    {"en_US", "MM/dd/yyyy", '/'},  {"fil_PH", "MM/dd/yy", '/'},  {"en_GB", "dd/MM/yy", '/'},
    {"de_DE", "dd.MM.yyyy", '.'},  {"cs_CZ", "d.M.yyyy", '.'},   {"fr_CH", "dd. MM. yy", '.'},
    {"lv_LV", "yyyy.MM.dd.", '.'}, {"ne_NP", "yy/M/d", '/'},     {"ce_RU", "yyyy.MM.dd", '.'},
    {"ja_JP", "yyyy/MM/dd", '/'},  {"ko_KR", "yyyy/MM/dd", '/'}, {"lzh_TW", "yyyy/MM/dd", '/'},
    {"ar_EG", "dd/MM/yyyy", '/'},  {"eu_ES", "yyyy.MM.dd", '.'}, {"en_HK", "MM/dd/yyyy", '/'},
    {"bo_CN", "yy/MM/dd", '/'},    {"ps_AF", "yyyy/MM/d", '/'},
};

bool CanCompileLocales()
{
    return std::system("command -v localedef >/dev/null 2>&1") == 0 && fs::exists(kDefinitions);
}

TFormatSettings SettingsFromLocaleFolder(const std::string& folder, const std::string& name)
{
#if defined(__SANITIZE_ADDRESS__)
    // glibc never frees the search list it makes of LOCPATH for each locale it loads.
    __lsan::ScopedDisabler glibcKeepsTheSearchList;
#endif
    ScopedEnv path("LOCPATH", folder.c_str());
    return FormatSettingsForLocale(name);
}

// The dates written under `settings` that do not read back as they were.
std::string DatesThatDoNotReadBack(const TFormatSettings& settings)
{
    ScopedFormatSettings scoped(settings);
    ScopedClock clock(EncodeDate(2026, 12, 7) + 0.5);
    std::string failures;
    for (const TDateTime date : {EncodeDate(2026, 12, 7), EncodeDate(1990, 3, 4), EncodeDate(2031, 11, 30),
                                 EncodeDate(2000, 2, 29)}) {
        const std::string written = DateToStr(date);
        TDateTime typed = 0;
        TVinRecord record;
        record.Effective = 0;
        ParseCommandLine({"/EFFECTIVE=" + written}, record, nullptr);
        if (!TryStrToDate(written, typed) || typed != date || record.Effective != date)
            failures += written + " ";
    }
    return failures;
}

class CompiledLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(CompiledLocaleTest, ItsShortDateReadsBack)
{
    if (!CanCompileLocales())
        GTEST_SKIP() << "localedef or the locale definitions (package \"locales\") are missing";
    // Compiled into a folder of its own, so that the test does not depend on what the machine generated.
    ScratchFolder compiled;
    const std::string name = std::string(GetParam().Name) + ".UTF-8";
    const std::string command = "localedef -c -i " + std::string(GetParam().Name) + " -f UTF-8 '" +
                                compiled / name + "' >/dev/null 2>&1";
    (void)std::system(command.c_str());
    ASSERT_TRUE(fs::exists(compiled / name)) << command;
    const TFormatSettings settings = SettingsFromLocaleFolder(compiled.Path(), name);
    EXPECT_EQ(settings.ShortDateFormat, GetParam().shortDate);
    EXPECT_EQ(settings.DateSeparator, GetParam().separator);
    EXPECT_EQ(DatesThatDoNotReadBack(settings), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, CompiledLocaleTest, ::testing::ValuesIn(kLocales),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(InstalledLocaleTest, EveryShortDateReadsBack)
{
    std::unique_ptr<FILE, int (*)(FILE*)> list(popen("locale -a 2>/dev/null", "r"), pclose);
    char line[256];
    while (list != nullptr && std::fgets(line, sizeof line, list.get()) != nullptr) {
        line[std::strcspn(line, "\n")] = '\0';
        const TFormatSettings settings = FormatSettingsForLocale(line);
        EXPECT_EQ(DatesThatDoNotReadBack(settings), "") << line << ": " << settings.ShortDateFormat;
    }
}

} // namespace
} // namespace carlume::test
