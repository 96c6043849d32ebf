#include "settings/version_files.h"

#include "foundation/string_helpers.h"
#include "foundation/window_helpers.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "platform/string_list.h"
#include "platform/sysutils.h"
#include "settings/data_storage.h"
#include "settings/file_finder.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <strings.h>
#include <unistd.h>

namespace carlume {

namespace fs = std::filesystem;

namespace {

// The programs and libraries of the installation whose versions are listed, in their Windows names.
constexpr const char* kSiblingFiles[] = {"Netfetch.exe", "Pricer.exe",   "cquery.exe",
                                         "PMMaint.exe",  "lpxo.dll",     "lpxui.dll",
                                         "Stashbox.dll", "tscEmail.dll", "Chassix.dll"};

// The names of the files in `folder`, as they are named on disk.
std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (FileExists(folder + it->path().filename().string()))
            names.push_back(it->path().filename().string());
    return names;
}

// The one of `names` that is `name` without regard to case (the exact spelling first); "" when none is.
std::string FindNoCase(const std::vector<std::string>& names, const std::string& name)
{
    if (std::find(names.begin(), names.end(), name) != names.end())
        return name;
    for (const auto& found : names)
        if (strcasecmp(found.c_str(), name.c_str()) == 0)
            return found;
    return {};
}

// The Linux name of a sibling: a program loses ".exe", a library gets its shared-object name.
std::string LinuxName(const std::string& windowsName)
{
    const std::string ext = ExtractFileExt(windowsName);
    if (strcasecmp(ext.c_str(), ".exe") == 0)
        return windowsName.substr(0, windowsName.size() - ext.size());
    return LibraryFileName(windowsName);
}

// Padded to `width` cells of the fixed-width font the text is shown in, where a blank takes one cell and
// a wide (East Asian) character two.
std::string PadRight(std::string text, std::size_t width)
{
    const std::size_t cells = Utf8Width(text);
    if (cells < width)
        text.append(width - cells, ' ');
    return text;
}

bool LessNoCase(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

// The description as the details text shows it: at most kMaxShownDescription characters.
std::string ShownDescription(const std::string& description)
{
    const std::string_view shown = Utf8Prefix(description, kMaxShownDescription);
    return shown.size() == description.size() ? description : std::string(shown) + "...";
}

// The line of a version file that could not be read: its path below the program folder, so that the user
// finds it, and why.
std::string UnreadableVersionLine(const std::string& entry, const Exception& error)
{
    const auto* fileError = dynamic_cast<const EStreamError*>(&error);
    const std::string why =
        fileError != nullptr && !fileError->Reason().empty() ? fileError->Reason() : error.Message();
    return " " + VisibleControls(entry) + " " + std::string(kUnreadableVersionFile) + ": " + why;
}

} // namespace

bool ReadVersionFile(const std::string& path, std::string& buildDate, std::string& description)
{
    if (!FileExists(path) || ::access(path.c_str(), R_OK) != 0)
        return false;
    TtscDataStorage storage;
    storage.SetStorageType(1);
    storage.SetFileName(path);
    // Only what can be shown is copied out of the file: a date's eight characters, and a description to
    // one character more than the details text shows, so that it still tells a longer one by its end.
    buildDate = YYYYMMDDToDisplay(storage.ReadValuePrefix("General", "BuildDate", 8));
    description = storage.ReadValuePrefix("General", "Description", kMaxShownDescription + 1);
    return true;
}

bool ReadCleanupDate(const std::string& path, std::string& buildDate)
{
    std::string description;
    try {
        return ReadVersionFile(path, buildDate, description);
    } catch (const Exception&) {
        buildDate = kUnreadableVersionFile;
        return true;
    }
}

bool ClearVersionBuildDate(const std::string& path)
{
    if (!FileExists(path))
        return false;
    TtscDataStorage storage;
    storage.SetStorageType(1);
    storage.SetFileName(path);
    storage.WriteValue("General", "BuildDate", "");
    storage.UpdateFile();
    return true;
}

void ReadInstallationID(const std::string& folder, std::string& id)
{
    id.clear();
    const std::string name = FindNoCase(FileNames(folder), "P5_USER.ver");
    if (name.empty() || ::access((folder + name).c_str(), R_OK) != 0)
        return;
    TtscDataStorage storage;
    storage.SetStorageType(1);
    storage.SetFileName(folder + name);
    id = storage.ReadValue("General", "LongACTID");
}

std::vector<std::string> FindVersionFiles(const std::string& programFolder)
{
    TStringList found;
    FindFilesByExt(programFolder, ".ver", found);
    std::vector<std::string> files;
    for (int i = 0; i < found.Count(); ++i)
        files.push_back(found[i]);
    std::stable_sort(files.begin(), files.end(), LessNoCase);
    return files;
}

TVersionDetails BuildVersionDetails(const std::string& programFolder)
{
    TVersionDetails details;
    auto& lines = details.Lines;
    lines = {"", "            Exe/Dll versions           ", ""};

    std::vector<std::string> siblings;
    std::size_t width = 0;
    const std::vector<std::string> names = FileNames(programFolder);
    for (const char* windowsName : kSiblingFiles) {
        const std::string name = FindNoCase(names, LinuxName(windowsName));
        if (name.empty())
            continue;
        siblings.push_back(name);
        width = std::max(width, Utf8Width(name) + 2);
    }
    for (const auto& name : siblings)
        lines.push_back(PadRight(" " + name + " ", width) + " : " +
                        GetFileVersionString(programFolder + name, vkFileVersion));

    std::string id;
    // A P5_USER.ver that cannot be read gives no ID; its line among the version files tells why.
    try {
        ReadInstallationID(programFolder, id);
    } catch (const Exception&) {
        id.clear();
    }
    if (!id.empty())
        lines.push_back(" Polimark Installation ID : " + id);
    lines.push_back("");
    lines.push_back("");

    details.VersionFiles = FindVersionFiles(programFolder);
    if (details.VersionFiles.empty())
        return details;
    lines.push_back("           Version files info          ");
    lines.push_back("");
    // text, build date; no date for the whole line of a file that could not be read
    std::vector<std::pair<std::string, std::optional<std::string>>> counted;
    width = 0;
    for (const auto& entry : details.VersionFiles) {
        std::string buildDate, description;
        // One file that cannot be read is named in its place: it keeps neither the others nor the window
        // away.
        try {
            if (!ReadVersionFile(programFolder + entry, buildDate, description) || Trim(description).empty())
                continue;
        } catch (const Exception& error) {
            counted.emplace_back(UnreadableVersionLine(entry, error), std::nullopt);
            continue;
        }
        counted.emplace_back(" " + ShownDescription(description) + " (" + ExtractFileName(entry) + ") ",
                             buildDate);
        width = std::max(width, Utf8Width(counted.back().first));
    }
    for (const auto& [text, buildDate] : counted) {
        details.VersionLines.push_back(buildDate ? PadRight(text, width) + " : " + *buildDate : text);
        lines.push_back(details.VersionLines.back());
    }
    return details;
}

std::string CleanupLine(const std::string& fileName, std::size_t width, const std::string& buildDate)
{
    return PadRight(" " + fileName, width) + " - " + buildDate;
}

std::string ClearedCleanupLine(const std::string& line)
{
    const auto separator = line.rfind(" - ");
    return separator == std::string::npos ? line : line.substr(0, separator + 2);
}

} // namespace carlume
