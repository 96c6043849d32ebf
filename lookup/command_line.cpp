#include "lookup/command_line.h"

#include "components/date_util.h"
#include "foundation/logger.h"
#include "foundation/string_helpers.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "platform/sysutils.h"

#include <limits>

namespace carlume {

namespace {

const std::string CRLF(LogLineEnd);

// How Windows writes an argument into a command line.
std::string QuotedArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t") == std::string_view::npos)
        return std::string(argument);
    std::string quoted;
    quoted.reserve(argument.size() + 2);
    quoted += '"';
    quoted += argument;
    quoted += '"';
    return quoted;
}

// The locale's short date, read as the run-time library reads a date: free-form numbers in the format's
// order; false for anything else, a time part included.
bool TryReadEffective(const std::string& text, TDateTime& date)
{
    int pos = 1;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ScanDate(text, FormatSettings().ShortDateFormat, pos, year, month, day))
        return false;
    return TryEncodeDate(year, month, day, date);
}

} // namespace

TCommandLine TCommandLine::FromArgs(int argc, const char* const* argv)
{
    TCommandLine commandLine;
    std::string text;
    for (int index = 0; index < argc; ++index) {
        const std::string_view argument = argv[index] != nullptr ? argv[index] : "";
        if (index > 0) {
            commandLine.Params.push_back(StripChars(argument, "\""));
            text += ' ';
        }
        text += QuotedArgument(argument);
    }
    commandLine.Text = Trim(text);
    return commandLine;
}

std::string SwitchKey(std::string_view param)
{
    return Trim(UpperCase(TextBeforeOrWhole(param, "=")));
}

std::string SwitchValue(std::string_view param)
{
    return Trim(TextAfterOrWhole(StripChars(param, "\""), "="));
}

std::int32_t DecimalStrToInt(std::string_view text)
{
    std::size_t index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-')) {
        negative = text[index] == '-';
        ++index;
    }
    // The magnitude may reach 2^31 for the smallest negative number.
    const std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    const std::size_t firstDigit = index;
    for (; index < text.size(); ++index) {
        const char c = text[index];
        if (c < '0' || c > '9')
            break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            break;
    }
    if (index == firstDigit || index != text.size())
        throw CreateFmt<EConvertError>(SInvalidInteger, VisibleControls(text));
    return std::int32_t(negative ? -magnitude : magnitude);
}

TParsedSwitches ParseCommandLine(const std::vector<std::string>& params, TVinRecord& record,
                                 const TLogFunction& log)
{
    TParsedSwitches parsed;
    if (params.empty())
        return parsed;
    std::string logText = "Command line parameters found" + CRLF;
    parsed.Count = 1;
    for (const std::string& param : params) {
        const std::string key = SwitchKey(param);
        const std::string value = SwitchValue(param);
        logText += VisibleControls(key) + " = " + VisibleControls(value) + CRLF;
        if (value.empty())
            continue;
        if (key == "/MAKE") {
            record.Make = value;
            ++parsed.Count;
        } else if (key == "/MODEL") {
            record.Model = value;
            ++parsed.Count;
        } else if (key == "/YEAR") {
            record.ModelYear = DecimalStrToInt(value);
            ++parsed.Count;
        } else if (key == "/VIN") {
            parsed.VinGiven = true;
            record.VIN = value;
            ++parsed.Count;
        } else if (key == "/EFFECTIVE") {
            TDateTime effective = 0;
            record.Effective = TryReadEffective(value, effective) ? effective : Now();
        }
    }
    if (log)
        log(logText);
    return parsed;
}

} // namespace carlume
