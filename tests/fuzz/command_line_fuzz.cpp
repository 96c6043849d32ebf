// The command line as the rating program (or anyone) may pass it: NUL-separated arguments, the first byte
// choosing the locale's date format.

#include "foundation/string_helpers.h"
#include "lookup/command_line.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "platform/utf8.h"

#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

carlume::TFormatSettings Settings(std::uint8_t choice)
{
    static const char* const kFormats[] = {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yy"};
    static const char kSeparators[] = {'/', '.', '-', '/'};
    carlume::TFormatSettings settings = carlume::USFormatSettings();
    settings.ShortDateFormat = kFormats[choice % 4];
    settings.DateSeparator = kSeparators[choice % 4];
    return settings;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const carlume::ScopedFormatSettings settings(Settings(data[0]));
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<std::string> arguments{"cquery"};
    std::size_t start = 0;
    while (start <= input.size() && arguments.size() < 64) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());

    const carlume::TCommandLine line = carlume::TCommandLine::FromArgs(int(argv.size()), argv.data());
    Check(line.ParamCount() == int(arguments.size()) - 1);
    for (const std::string& param : line.Params)
        Check(param.find('"') == std::string::npos);
    Check(line.Text.empty() || (!IsBlank(line.Text.front()) && !IsBlank(line.Text.back())));
    const std::string single = carlume::SingleLine(line.Text);
    Check(single.find_first_of("\r\n") == std::string::npos && single.size() == line.Text.size());

    carlume::TVinRecord record;
    std::vector<std::string> logged;
    try {
        const carlume::TParsedSwitches parsed = carlume::ParseCommandLine(
            line.Params, record, [&](const std::string& text) { logged.push_back(text); });
        Check(parsed.Count <= line.ParamCount() + 1);
        Check(line.Params.empty() ? parsed.Count == 0 && logged.empty()
                                  : parsed.Count >= 1 && logged.size() == 1);
        Check(!parsed.VinGiven || (!record.VIN.empty() && parsed.Count >= 2));
        if (!logged.empty()) {
            Check(logged[0].starts_with("Command line parameters found\r\n"));
            Check(logged[0].ends_with("\r\n"));
        }
    } catch (const carlume::EConvertError& e) {
        // Only a "/YEAR" that is no decimal whole number raises, and then nothing is logged.
        Check(e.Message().ends_with("' is not a valid integer value") && logged.empty());
    }

    // The "/YEAR" conversion against a plain reading: optional sign, digits only, within 32 bits.
    const std::string text(input.substr(0, std::min<std::size_t>(input.size(), 40)));
    std::size_t digits = text.empty() ? 0 : (text[0] == '+' || text[0] == '-' ? 1 : 0);
    const bool wellFormed =
        digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos;
    errno = 0;
    const long long reference = wellFormed ? std::strtoll(text.c_str(), nullptr, 10) : 0;
    const bool inRange = wellFormed && errno == 0 && reference >= INT32_MIN && reference <= INT32_MAX;
    try {
        Check(carlume::DecimalStrToInt(text) == reference && inRange);
    } catch (const carlume::EConvertError& e) {
        // The text is shown with its control characters written out: the message is one line.
        Check(!inRange &&
              e.Message() == "'" + carlume::VisibleControls(text) + "' is not a valid integer value");
        Check(e.Message().find_first_of("\r\n") == std::string::npos);
    }
    return 0;
}
