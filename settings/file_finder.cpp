#include "settings/file_finder.h"

#include "foundation/string_helpers.h"
#include "platform/string_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace carlume {

namespace {

bool EndsWithNoCase(const char* name, const std::string& ending)
{
    const std::size_t length = std::strlen(name);
    return length >= ending.size() &&
           strncasecmp(name + (length - ending.size()), ending.c_str(), ending.size()) == 0;
}

// Reads the folder once with the entry types the system gives (a stat only where it gives none), and
// sorts only what is kept, so a large tree costs little more than listing it.
void Search(const std::string& folder, const std::string& ending, TStringList& list)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return; // unreadable folders are skipped
    std::vector<std::string> files, folders;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info {};
            if (::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
        }
        if (type == DT_DIR) {
            folders.emplace_back(name);
        } else if (EndsWithNoCase(name, ending)) {
            // A link counts as the file it names; a link to a folder is neither searched nor listed.
            struct stat info {};
            if (type == DT_LNK && (::fstatat(::dirfd(dir), name, &info, 0) != 0 || S_ISDIR(info.st_mode)))
                continue;
            files.emplace_back(name);
        }
    }
    ::closedir(dir);
    const auto noCase = [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    };
    std::sort(files.begin(), files.end(), noCase);
    std::sort(folders.begin(), folders.end(), noCase);
    // Files and folders in one name order, as the folder lists them.
    auto file = files.begin();
    for (const auto& sub : folders) {
        for (; file != files.end() && noCase(*file, sub); ++file)
            list.Add(folder + *file);
        Search(folder + sub + "/", ending, list);
    }
    for (; file != files.end(); ++file)
        list.Add(folder + *file);
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
