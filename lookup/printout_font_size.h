#pragma once

// The body font size of the printed report, kept in settings.ini in the program folder ([Settings]
// PrintoutFontSize), and the input box that changes it. Stored sizes outside 8..14 read as the default, so
// the window only ever holds a size the user could have entered.

#include "lookup/vehicle_report.h"
#include "platform/services.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace carlume {

/// The settings file, in the program folder.
inline constexpr std::string_view PrintSettingsFileName = "settings.ini";
/// Its section and key of the printout font size.
inline constexpr std::string_view PrintSettingsSection = "Settings";
inline constexpr std::string_view PrintoutFontSizeKey = "PrintoutFontSize";
/// The size when none (or a bad one) is stored.
inline constexpr std::int32_t DefaultPrintoutFontSize = 10;
/// The input box of the font-size command.
inline constexpr std::string_view PrintoutFontSizeCaption = "Printout Font Size";
inline constexpr std::string_view PrintoutFontSizePrompt = "Provide a new printout font size below (8-14)";
/// Messages refusing an answer of the input box.
inline constexpr std::string_view PrintoutFontSizeNotNumeric = "The value must be numeric";
inline constexpr std::string_view PrintoutFontSizeOutOfRange = "The value must be between 8 and 14";

/// The path of settings.ini in `appPath` (the program folder, ending in "/").
std::string PrintSettingsFile(const std::string& appPath);
/// The stored printout font size: `DefaultPrintoutFontSize` when the file, the section or the key is
/// missing or unreadable, or the value is no integer. A size outside 8..14 is kept: the report clamps it.
std::int32_t LoadPrintoutFontSize(const std::string& appPath);
/// Stores `size` as decimal text; raises `EIniFileException` "Unable to write to <file>" on failure.
void StorePrintoutFontSize(const std::string& appPath, std::int32_t size);
/// Asks for a new size in the input box, `currentSize` as its default, so Cancel answers the current
/// size. An answer that is not numeric, or outside 8..14, is refused with an information message and
/// gives nothing; otherwise the new size (for the caller to keep and store). Without a dialog service the
/// answer is the current size.
std::optional<std::int32_t> AskPrintoutFontSize(const TApplicationServices& services,
                                                std::int32_t currentSize);

} // namespace carlume
