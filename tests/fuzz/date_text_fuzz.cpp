#include "components/date_util.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"

#include "tests/fuzz/fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

carlume::TFormatSettings Settings(std::uint8_t choice)
{
    static const char* const kFormats[] = {"M/d/yyyy", "dd/MM/yyyy", "yyyy/MM/dd"};
    static const char kSeparators[] = {'/', '-', '.'};
    carlume::TFormatSettings settings = carlume::USFormatSettings();
    settings.ShortDateFormat = kFormats[choice % 3];
    settings.DateSeparator = kSeparators[(choice / 3) % 3];
    return settings;
}

bool IsDateLetter(char c)
{
    return c == 'D' || c == 'M' || c == 'Y';
}

} // namespace

// Byte 0 picks the locale and the format: one of the date edit's formats, or (odd choices above 17) the
// text up to its first line feed. The rest is the text to read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace carlume;
    static const ScopedClock clock(EncodeDate(2026, 3, 15) + 0.5);
    if (size < 1)
        return 0;
    const ScopedFormatSettings settings(Settings(data[0]));
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool four = (data[0] / 9) % 2 == 0;
    std::string format = DefDateFormat(four);
    const bool ownFormat = data[0] >= 18 && data[0] % 2 == 1 && text.find('\n') != std::string_view::npos;
    if (ownFormat) {
        format = std::string(text.substr(0, text.find('\n')));
        text.remove_prefix(format.size() + 1);
    }

    TDateTime date = -5.0;
    const bool ok = InternalStrToDate(format, text, date);
    if (!ok) {
        Check(date == -5.0);
        Check(StrToDateFmtDef(format, text, 45000.75) == 45000.0);
        try {
            (void)StrToDateFmt(format, text);
            Check(false);
        } catch (const EConvertError&) {
        }
        return 0;
    }
    Check(StrToDateFmt(format, text) == date);
    if (text.empty()) {
        Check(date == NullDate);
        return 0;
    }
    Check(ValidDate(date) && date == std::trunc(date));
    if (ownFormat)
        return 0;

    // What was read by position was read from digits and blanks only; otherwise the free-form scanner read
    // a text of nothing but digits, blanks and separators.
    bool positional = text.size() <= format.size();
    for (std::size_t i = 0; positional && i < text.size(); ++i) {
        if (IsDateLetter(format[i]) && text[i] != ' ' && (text[i] < '0' || text[i] > '9'))
            positional = false;
    }
    bool freeForm = true;
    for (const char c : text) {
        if (c != ' ' && c != FormatSettings().DateSeparator && (c < '0' || c > '9'))
            freeForm = false;
    }
    Check(positional || freeForm);

    // Month and day read under their letters, and the text (without its trailing blanks) reaches the year's
    // places or the separator before them, which are blank: the year was left blank, which never gives a
    // date. A text that stops short of the year is that day of this year.
    const std::string_view kept = text.substr(0, text.find_last_not_of(' ') + 1);
    if (text.size() <= format.size() && kept.size() >= format.find('Y')) {
        bool laidOut = true, yearBlank = true, monthRead = false, dayRead = false;
        for (std::size_t i = 0; i < format.size(); ++i) {
            const char c = i < text.size() ? text[i] : ' ';
            if (format[i] == 'Y' && c != ' ')
                yearBlank = false;
            if ((format[i] == 'M' || format[i] == 'D') && c != ' ') {
                laidOut = laidOut && c >= '0' && c <= '9';
                (format[i] == 'M' ? monthRead : dayRead) = true;
            }
        }
        Check(!(laidOut && yearBlank && monthRead && dayRead));
    }

    // The date written in the format reads back as itself when the format can carry its year.
    const int year = ExtractYear(date);
    if (four ? year >= 100 : (year >= 1966 && year <= 2065))
        Check(StrToDateFmt(format, FormatDateTime(format, date)) == date);
    return 0;
}
