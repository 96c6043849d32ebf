#include "platform/folders.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/program_link.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace carlume {
namespace {

std::map<TFolder, std::string>& Overrides()
{
    static std::map<TFolder, std::string> overrides;
    return overrides;
}

const std::string* OverrideOf(TFolder folder)
{
    const auto& overrides = Overrides();
    const auto it = overrides.find(folder);
    return it == overrides.end() ? nullptr : &it->second;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// An absolute path from the environment; "" for a blank or relative value, which would put the folder
// below whatever the current directory happens to be.
std::string AbsoluteEnvironment(const char* name)
{
    std::string value = Environment(name);
    return !value.empty() && value.front() == '/' ? value : std::string();
}

std::string HomeFolder()
{
    std::string home = AbsoluteEnvironment("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
        result->pw_dir != nullptr && result->pw_dir[0] == '/')
        return result->pw_dir;
    return {};
}

std::string DefaultWindowsFolder()
{
    std::string windir = AbsoluteEnvironment("WINDIR");
    if (!windir.empty())
        return windir;
    std::string config = AbsoluteEnvironment("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = HomeFolder();
        if (home.empty())
            return {};
        config = IncludeTrailingPathDelimiter(home) + ".config";
    }
    return IncludeTrailingPathDelimiter(config) + "carlume";
}

} // namespace

std::string ProgramFileName()
{
    if (const auto* value = OverrideOf(TFolder::ProgramFile))
        return *value;
    const auto* linkOverride = OverrideOf(TFolder::ProgramLink);
    const std::string link = linkOverride != nullptr ? *linkOverride : "/proc/self/exe";
    std::string failure;
    std::string path = ReadProgramLink(link, failure);
    if (path.empty())
        throw Exception(failure);
    return path;
}

std::string ProgramFolder()
{
    return ExtractFilePath(ProgramFileName());
}

std::string WindowsFolder()
{
    const auto* value = OverrideOf(TFolder::Windows);
    std::string folder = ExcludeTrailingPathDelimiter(value != nullptr ? *value : DefaultWindowsFolder());
    if (folder.empty())
        throw Exception(std::string(SNoWindowsFolder));
    if (!DirectoryExists(folder))
        ForceDirectories(folder);
    return folder;
}

std::string TempFolder()
{
    if (const auto* value = OverrideOf(TFolder::Temp))
        return IncludeTrailingPathDelimiter(*value);
    const std::string tmpdir = Environment("TMPDIR");
    return tmpdir.empty() ? "/tmp/" : IncludeTrailingPathDelimiter(tmpdir);
}

std::string RatingProgramFolder()
{
    if (const auto* value = OverrideOf(TFolder::RatingProgram))
        return IncludeTrailingPathDelimiter(*value);
    return "/opt/Qelvo/";
}

void SetFolderOverride(TFolder folder, std::optional<std::string> value)
{
    if (value)
        Overrides()[folder] = std::move(*value);
    else
        Overrides().erase(folder);
}

ScopedFolderOverride::ScopedFolderOverride(TFolder folder, std::string value)
    : folder_(folder)
{
    if (const auto* current = OverrideOf(folder))
        saved_ = *current;
    SetFolderOverride(folder, std::move(value));
}

ScopedFolderOverride::~ScopedFolderOverride()
{
    SetFolderOverride(folder_, std::move(saved_));
}

} // namespace carlume
