#include "settings/file_finder.h"

#include "foundation/string_helpers.h"
#include "platform/string_list.h"

#include <algorithm>
#include <filesystem>
#include <strings.h>
#include <vector>

namespace carlume {

namespace fs = std::filesystem;

namespace {

bool EndsWithNoCase(const std::string& name, const std::string& ending)
{
    return name.size() >= ending.size() &&
           strncasecmp(name.c_str() + (name.size() - ending.size()), ending.c_str(), ending.size()) == 0;
}

void Search(const std::string& folder, const std::string& ending, TStringList& list)
{
    std::error_code error;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    if (error)
        return;
    std::vector<std::pair<std::string, bool>> entries; // name, is a real (unlinked) folder
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            return;
        const bool isFolder = it->is_directory(error) && !it->is_symlink(error);
        entries.emplace_back(it->path().filename().string(), isFolder);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return strcasecmp(a.first.c_str(), b.first.c_str()) < 0; });
    for (const auto& [name, isFolder] : entries) {
        if (isFolder)
            Search(folder + name + "/", ending, list);
        else if (!fs::is_directory(folder + name, error) && EndsWithNoCase(name, ending))
            list.Add(folder + name);
    }
}

} // namespace

bool SearchFilesByExt(const std::string& folder, const std::string& ending, TStringList& list)
{
    std::string start = folder;
    AddBackslash(start);
    Search(start, ending, list);
    return true;
}

bool FindFilesByExt(const std::string& folder, const std::string& ending, TStringList& list)
{
    list.Clear();
    SearchFilesByExt(folder, ending, list);
    const bool found = list.Count() > 0;
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() == '/')
        prefix.pop_back();
    prefix += '/';
    for (int i = 0; i < list.Count(); ++i)
        list.Put(i, TextAfterOrWhole(list[i], prefix));
    return found;
}

} // namespace carlume
