#include "settings/file_finder.h"

#include "foundation/string_helpers.h"
#include "platform/string_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

namespace carlume {

namespace {

// The folders entered so far, by device and inode: a folder reached again through a link is not searched
// twice, and a link loop ends.
using TVisitedFolders = std::set<std::pair<dev_t, ino_t>>;

bool EndsWithNoCase(const char* name, const std::string& ending)
{
    const std::size_t length = std::strlen(name);
    return length >= ending.size() &&
           strncasecmp(name + (length - ending.size()), ending.c_str(), ending.size()) == 0;
}

// File systems the kernel makes up. Through a link, /proc leads into every process's working folder, and so
// to other installations' version files; the others hold no installation.
bool IsPseudoFileSystem(int fd)
{
    constexpr std::uint32_t kConfigFs = 0x62656570, kFuseCtl = 0x65735543, kMqueue = 0x19800202;
    static constexpr std::uint32_t kPseudo[] = {
        PROC_SUPER_MAGIC, SYSFS_MAGIC,        DEBUGFS_MAGIC,        TRACEFS_MAGIC,
        SECURITYFS_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,  PSTOREFS_MAGIC,
        BPF_FS_MAGIC,     kConfigFs,          EFIVARFS_MAGIC,       kFuseCtl,
        kMqueue,          DEVPTS_SUPER_MAGIC, SELINUX_MAGIC,        SMACK_MAGIC,
        BINFMTFS_MAGIC,   NSFS_MAGIC,         RDTGROUP_SUPER_MAGIC, BINDERFS_SUPER_MAGIC};
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return true;
    const auto type = static_cast<std::uint32_t>(info.f_type);
    return std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo);
}

// Opens a folder not entered before; nullptr when it was, when it cannot be read (it is skipped), or when
// it lies on a pseudo file system and the search did not start there. Checked on the opened folder, so no
// path or link leads around it.
DIR* EnterFolder(const std::string& folder, bool isStart, TVisitedFolders& visited)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (!isStart && IsPseudoFileSystem(fd)) ||
        !visited.emplace(info.st_dev, info.st_ino).second) {
        ::close(fd);
        return nullptr;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr)
        ::close(fd);
    return dir;
}

// Reads the folder once with the entry types the system gives (a stat only where it gives none, and for
// links), and sorts only what is kept, so a large tree costs little more than listing it.
void Search(const std::string& folder, const std::string& ending, TStringList& list, TVisitedFolders& visited,
            bool isStart)
{
    DIR* dir = EnterFolder(folder, isStart, visited);
    if (dir == nullptr)
        return;
    std::vector<std::string> files, folders;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            // A link counts as what it names; one whose target is gone is skipped.
            struct stat info {};
            if (::fstatat(::dirfd(dir), name, &info, 0) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
        }
        if (type == DT_DIR)
            folders.emplace_back(name);
        else if (EndsWithNoCase(name, ending))
            files.emplace_back(name);
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
        Search(folder + sub + "/", ending, list, visited, false);
    }
    for (; file != files.end(); ++file)
        list.Add(folder + *file);
}

// The folders that hold `folder`, up to the root of the file system. A link to one of them leads back into
// the search (or, for "/", through the whole file system), so they count as entered from the start.
TVisitedFolders Ancestors(const std::string& folder)
{
    TVisitedFolders ancestors;
    // O_PATH: a folder on the way up need not be readable, only passable.
    int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat self {};
    if (fd < 0 || ::fstat(fd, &self) != 0) {
        if (fd >= 0)
            ::close(fd);
        return ancestors;
    }
    for (;;) {
        const int up = ::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        struct stat parent {};
        // The root of the file system is its own parent.
        if (up < 0 || ::fstat(up, &parent) != 0 ||
            (parent.st_dev == self.st_dev && parent.st_ino == self.st_ino)) {
            if (up >= 0)
                ::close(up);
            return ancestors;
        }
        ancestors.emplace(parent.st_dev, parent.st_ino);
        self = parent;
        fd = up;
    }
}

} // namespace

bool SearchFilesByExt(const std::string& folder, const std::string& ending, TStringList& list)
{
    std::string start = folder;
    AddBackslash(start);
    TVisitedFolders visited = Ancestors(start);
    Search(start, ending, list, visited, true);
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
