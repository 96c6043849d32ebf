#include "platform/date_time.h"
#include "platform/exceptions.h"

#include "tests/fuzz/fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The first eight bytes are a date value for FormatDateTime with the rest as its pattern; the rest is
// also read as a date, a time and a date and time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace carlume;
    static const ScopedClock clock(EncodeDate(2026, 6, 15) + 0.5);
    static const ScopedFormatSettings settings(USFormatSettings());
    if (size < sizeof(double))
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const std::string_view text(reinterpret_cast<const char*>(data + sizeof value), size - sizeof value);

    std::uint16_t y = 0, m = 0, d = 0;
    const bool isDate = TryDecodeDate(value, y, m, d);
    try {
        (void)FormatDateTime(text, value);
        Check(isDate);
    } catch (const EConvertError&) {
        Check(!isDate);
    }
    if (isDate) {
        // A date written in a four-digit-year short format reads back as itself.
        const TDateTime day = EncodeDate(y, m, d);
        Check(StrToDate(FormatDateTime("m/d/yyyy", day)) == day);
        Check(DayOfWeek(value) >= 1 && DayOfWeek(value) <= 7);
    }

    TDateTime date = 0;
    if (TryStrToDate(text, date)) {
        Check(date >= MinDateTime && date <= MaxDateTime && date == std::trunc(date));
    }
    TDateTime time = 0;
    if (TryStrToTime(text, time))
        Check(time >= 0 && time < 1);
    TDateTime both = 0;
    if (TryStrToDateTime(text, both))
        Check(std::isfinite(both));
    return 0;
}
