#include "lookup/printout_font_size.h"

#include "foundation/string_helpers.h"
#include "foundation/window_helpers.h"
#include "platform/ini_files.h"
#include "platform/sysutils.h"

namespace carlume {

namespace {

bool InRange(std::int32_t size)
{
    return size >= MinPrintoutFontSize && size <= MaxPrintoutFontSize;
}

} // namespace

std::string PrintSettingsFile(const std::string& appPath)
{
    return appPath + std::string(PrintSettingsFileName);
}

std::int32_t LoadPrintoutFontSize(const std::string& appPath)
{
    const TIniFile ini(PrintSettingsFile(appPath), TWriteMode::DurableIfChanged);
    return ini.ReadInteger(PrintSettingsSection, PrintoutFontSizeKey, DefaultPrintoutFontSize);
}

void StorePrintoutFontSize(const std::string& appPath, std::int32_t size)
{
    // The user's own setting: it must outlast a crash, and storing the same size again writes nothing.
    TIniFile ini(PrintSettingsFile(appPath), TWriteMode::DurableIfChanged);
    ini.WriteInteger(PrintSettingsSection, PrintoutFontSizeKey, size);
}

std::optional<std::int32_t> AskPrintoutFontSize(const TApplicationServices& services,
                                                std::int32_t currentSize)
{
    const std::string current = IntToStr(currentSize);
    const std::string answer = services.Dialogs
                                   ? services.Dialogs->InputBox(std::string(PrintoutFontSizeCaption),
                                                                std::string(PrintoutFontSizePrompt), current)
                                   : current;
    if (!IsNumeric(answer)) {
        ShowInfoMessage(services, std::string(PrintoutFontSizeNotNumeric));
        return std::nullopt;
    }
    const std::int32_t size = StrToIntOrZero(answer);
    if (!InRange(size)) {
        ShowInfoMessage(services, std::string(PrintoutFontSizeOutOfRange));
        return std::nullopt;
    }
    return size;
}

} // namespace carlume
