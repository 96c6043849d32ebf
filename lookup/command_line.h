#pragma once

// The command line the rating program starts us with: "/VIN=...", "/YEAR=...", "/MAKE=...", "/MODEL=...",
// "/EFFECTIVE=...". A parameter is "key=value"; one without "=" is both its key and its value. Keys are
// upper-cased (ASCII) and trimmed, values lose their double quotes and are trimmed; a switch with an empty
// value does nothing and unknown keys are ignored.

#include "lookup/vin_record.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

/// The process's command line.
struct TCommandLine {
    /// The parameters (the arguments after the program), each without its double quotes, as the Windows
    /// parameter split gives them.
    std::vector<std::string> Params;
    /// The whole command line, program included, as Windows would hand it over: the arguments joined by
    /// single blanks, one that is empty or holds a blank or tab in double quotes.
    std::string Text;

    /// The command line of `main`'s arguments.
    static TCommandLine FromArgs(int argc, const char* const* argv);
    /// The number of parameters.
    int ParamCount() const { return int(Params.size()); }
};

/// Receives one log message (it may hold several lines).
using TLogFunction = std::function<void(const std::string& message)>;

/// What `ParseCommandLine` gave besides the record's fields.
struct TParsedSwitches {
    /// 0 without parameters, else 1 plus one per "/MAKE", "/MODEL", "/YEAR" and "/VIN" that had a value.
    int Count = 0;
    /// A "/VIN" with a value was given.
    bool VinGiven = false;
};

/// Applies the switches of `params` to `record`, in order (the last of a key wins) and logs them all in one
/// message: "Command line parameters found" and a line "KEY = value" per parameter, each line ending in
/// CR LF. "/YEAR" must be a decimal whole number (signed 32-bit): otherwise `EConvertError` "'<value>' is
/// not a valid integer value" is raised and nothing is logged. "/EFFECTIVE" is read as a date in the
/// locale's short date format; a text that is no date gives `Now`, silently. Without parameters nothing
/// happens and the count is 0.
TParsedSwitches ParseCommandLine(const std::vector<std::string>& params, TVinRecord& record,
                                 const TLogFunction& log);

/// The switch key of a parameter: the text before its first "=" (all of it without one), upper-cased
/// (ASCII letters only) and trimmed.
std::string SwitchKey(std::string_view param);
/// The switch value of a parameter: without double quotes, the text after its first "=" (all of it
/// without one), trimmed.
std::string SwitchValue(std::string_view param);

/// `text` as a decimal whole number: an optional sign and digits, within 32 bits. Raises `EConvertError`
/// "'<text>' is not a valid integer value" otherwise.
std::int32_t DecimalStrToInt(std::string_view text);

} // namespace carlume
