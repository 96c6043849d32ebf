#include "platform/exceptions.h"
#include "platform/format.h"
#include "platform/sysutils.h"

#include "tests/fuzz/fuzz_check.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool AllDecimal(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
    }
    return true;
}

} // namespace

// The input is one text for the number conversions and, as a pattern, for Format.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::int32_t value = 0;
    if (carlume::TryStrToInt(text, value)) {
        Check(carlume::StrToInt(carlume::IntToStr(value)) == value);
    } else {
        Check(carlume::StrToIntDef(text, 77) == 77);
    }
    // Plain decimal text must agree with the standard library's reading.
    if (AllDecimal(text)) {
        const std::string_view digits = text[0] == '+' ? text.substr(1) : text;
        std::int32_t expected = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), expected);
        const bool valid = result.ec == std::errc() && result.ptr == digits.data() + digits.size();
        Check(carlume::TryStrToInt(text, value) == valid);
        if (valid)
            Check(value == expected);
    }
    std::int64_t wide = 0;
    if (carlume::TryStrToInt64(text, wide))
        Check(carlume::StrToInt64(carlume::IntToStr(wide)) == wide);
    double real = 0;
    if (carlume::TryStrToFloat(text, real))
        Check(real == real);
    try {
        (void)carlume::Format(text, 42, "text", 2.5, std::int64_t{-1}, 'c');
    } catch (const carlume::EConvertError&) {
    }
    (void)carlume::Trim(text);
    (void)carlume::AnsiUpperCase(text);
    (void)carlume::AnsiCompareText(text, "abc");
    return 0;
}
