#include "components/date_util.h"

#include "platform/format_settings.h"

#include "tests/fuzz/fuzz_check.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

carlume::TFormatSettings Settings(std::uint8_t choice)
{
    static const char* const kFormats[] = {"M/d/yyyy", "dd/MM/yyyy", "yyyy/MM/dd", "gg yyyy/MM/dd"};
    static const char kSeparators[] = {'/', '-', '.', ' '};
    carlume::TFormatSettings settings = carlume::USFormatSettings();
    settings.ShortDateFormat = kFormats[choice % 4];
    settings.DateSeparator = kSeparators[(choice / 4) % 4];
    return settings;
}

} // namespace

// Byte 0 picks the locale, byte 1 the start position and the number length; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace carlume;
    static const ScopedClock clock(EncodeDate(2026, 3, 15) + 0.5);
    if (size < 2)
        return 0;
    const ScopedFormatSettings settings(Settings(data[0]));
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const int end = static_cast<int>(text.size()) + 1;
    const int start = static_cast<int>(data[1] % 16) - 2; // from before the text to past its end

    int pos = start;
    ScanBlanks(text, pos);
    Check(pos >= start);

    pos = start;
    int number = -1;
    const int maxLength = data[1] >> 4;
    if (ScanNumber(text, maxLength, pos, number)) {
        Check(number >= 0 && number <= 9999 && pos > start && pos <= end && maxLength > 0);
    } else {
        Check(number == -1);
    }

    pos = start;
    if (ScanChar(text, pos, FormatSettings().DateSeparator))
        Check(pos > start && pos <= end);

    pos = start;
    ScanToNumber(text, pos);
    Check(pos >= 1 && pos <= (start > end ? start : end));
    if (pos < end)
        Check(text[static_cast<std::size_t>(pos - 1)] >= '0' &&
              text[static_cast<std::size_t>(pos - 1)] <= '9');

    pos = start;
    int y = 0, m = 0, d = 0;
    if (ScanDate(text, FormatSettings().ShortDateFormat, pos, y, m, d))
        Check(IsValidDate(y, m, d) && pos >= end);

    const int month = MonthFromName(text, static_cast<int>(data[1]));
    Check(month >= 0 && month <= 12);
    return 0;
}
