#include "foundation/window_helpers.h"

#include "platform/file_version.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <array>
#include <iostream>
#include <string_view>

namespace carlume {
namespace {

constexpr std::array<std::string_view, 10> kVersionKeys = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

} // namespace

ScopedScreenCursor::ScopedScreenCursor(IScreenCursorService* cursor, TCursor shown)
    : cursor_(cursor)
{
    if (cursor_ == nullptr)
        return;
    saved_ = cursor_->Cursor();
    cursor_->SetCursor(shown);
}

ScopedScreenCursor::~ScopedScreenCursor()
{
    if (cursor_ != nullptr)
        cursor_->SetCursor(saved_);
}

void ShowMessageDlg(const TApplicationServices& services, const std::string& message, TMsgDlgType type)
{
    if (services.Dialogs == nullptr) {
        std::cerr << message << '\n';
        return;
    }
    ScopedScreenCursor cursor(services.ScreenCursor);
    services.Dialogs->ShowMessage(type, message);
}

void ShowInfoMessage(const TApplicationServices& services, const std::string& message)
{
    ShowMessageDlg(services, message, TMsgDlgType::mtInformation);
}

void ShowErrorMessage(const TApplicationServices& services, const std::string& message)
{
    ShowMessageDlg(services, message, TMsgDlgType::mtError);
}

bool AskYesNo(const TApplicationServices& services, const std::string& message)
{
    if (services.Dialogs == nullptr) {
        std::cerr << message << '\n';
        return false;
    }
    ScopedScreenCursor cursor(services.ScreenCursor);
    return services.Dialogs->AskYesNo(message);
}

bool ShellExec(const TApplicationServices& services, const std::string& file, const std::string& parameters,
               const std::string& folder, int showCommand)
{
    if (services.Shell == nullptr)
        return false;
    return services.Shell->Open(file, parameters, folder, showCommand);
}

void LogMessage(const TApplicationServices& services, const std::string& message)
{
    if (services.Logger != nullptr)
        services.Logger->Log(message);
}

std::string GetWindowsDir()
{
    return IncludeTrailingPathDelimiter(Trim(WindowsFolder()));
}

std::string VersionKeyName(int index)
{
    if (index < 0 || index >= int(kVersionKeys.size()))
        return {};
    return std::string(kVersionKeys[std::size_t(index)]);
}

std::string GetFileVersionString(const std::string& fileName, int index)
{
    const std::string key = VersionKeyName(index);
    if (key.empty())
        return {};
    return ReadFileVersionKey(fileName, key);
}

} // namespace carlume
