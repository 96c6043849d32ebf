// The cquery program: a launcher that links no library of the program folder. The system's loader maps a
// library's segments whether the file holds them or not, and a core library cut short (an interrupted copy,
// a full disk) would kill the process inside the loader before any code of ours ran. So the earlier run's
// hand-back file goes first, then the core is looked at and loaded by its full path; when it cannot be, the
// run ends with a message. Whatever kills the process while the core is loaded, no earlier run's vehicle is
// left for the calling program to read.

#include "lookup/core_entry.h"
#include "platform/library_check.h"
#include "platform/program_link.h"
#include "platform/utf8.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace carlume {
namespace {

struct THandBackRemoval {
    bool Removed = false;
    std::string Failure; ///< why a file found could not be removed
};

// The run's first step, taken before the core is touched. What it finds is what the core's own step
// would: a regular file, or a link to one.
THandBackRemoval RemoveStaleHandBackFile(const std::string& dataFile)
{
    THandBackRemoval removal;
    struct stat status {};
    if (::stat(dataFile.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return removal;
    const int error = ::unlink(dataFile.c_str()) == 0 ? 0 : errno;
    if (error == 0 || error == ENOENT)
        removal.Removed = true;
    else
        removal.Failure =
            StaleHandBackFileMessage(VisibleControls(dataFile), std::system_category().message(error));
    return removal;
}

int LaunchCore(int argc, const char* const* argv)
{
    std::string failure;
    const std::string program = ReadProgramLink("/proc/self/exe", failure);
    if (program.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }
    const std::string folder = program.substr(0, program.rfind('/') + 1);
    const std::string dataFile = folder + "Data/" + std::string(HandBackFileName);
    // A file that cannot be removed is left to the core, whose own step ends the run with its error box.
    const THandBackRemoval removal = RemoveStaleHandBackFile(dataFile);
    const std::string core = folder + CoreLibraryFileName;
    std::string reason = DamagedLibraryReason(core);
    if (reason.empty()) {
        // Global, as a linked library is: the UI module, loaded later, binds to this very core.
        ::dlerror();
        void* library = ::dlopen(core.c_str(), RTLD_NOW | RTLD_GLOBAL);
        void* entry = library != nullptr ? ::dlsym(library, CoreEntryName) : nullptr;
        if (entry != nullptr)
            return reinterpret_cast<TCoreEntry>(entry)(argc, argv,
                                                       removal.Removed ? dataFile.c_str() : nullptr);
        reason = LoaderReason(core, ::dlerror(), "it is not a core library of this program");
    }
    std::fprintf(stderr, "Unable to load %s: %s\n", VisibleControls(core).c_str(),
                 VisibleControls(reason).c_str());
    if (!removal.Failure.empty())
        std::fprintf(stderr, "%s\n", removal.Failure.c_str());
    return 1;
}

} // namespace
} // namespace carlume

int main(int argc, char** argv)
{
    return carlume::LaunchCore(argc, argv);
}
