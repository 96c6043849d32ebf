// The cquery program: a launcher that links no library of the program folder. The system's loader maps a
// library's segments whether the file holds them or not, and a core library cut short (an interrupted copy,
// a full disk) would kill the process inside the loader before any code of ours ran. So the core is looked
// at first and then loaded by its full path; when it cannot be, the run ends with a message, and with no
// earlier run's vehicle left for the calling program to read.

#include "lookup/carquery.h"
#include "lookup/core_entry.h"
#include "platform/library_check.h"
#include "platform/program_link.h"
#include "platform/utf8.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace carlume {
namespace {

// What a run does when its core cannot be loaded: the hand-back file of the program folder goes, as the
// run's first step would have removed it.
void RemoveStaleHandBackFile(const std::string& folder)
{
    const std::string dataFile = folder + "Data/" + std::string(HandBackFileName);
    if (::unlink(dataFile.c_str()) != 0 && errno != ENOENT)
        std::fprintf(stderr, "Unable to delete previous data file %s. %s\n",
                     VisibleControls(dataFile).c_str(), std::system_category().message(errno).c_str());
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
    const std::string core = folder + CoreLibraryFileName;
    std::string reason = DamagedLibraryReason(core);
    if (reason.empty()) {
        // Global, as a linked library is: the UI module, loaded later, binds to this very core.
        ::dlerror();
        void* library = ::dlopen(core.c_str(), RTLD_NOW | RTLD_GLOBAL);
        void* entry = library != nullptr ? ::dlsym(library, CoreEntryName) : nullptr;
        if (entry != nullptr)
            return reinterpret_cast<TCoreEntry>(entry)(argc, argv);
        reason = LoaderReason(core, ::dlerror(), "it is no core library of this program");
    }
    std::fprintf(stderr, "Unable to load %s: %s\n", VisibleControls(core).c_str(),
                 VisibleControls(reason).c_str());
    RemoveStaleHandBackFile(folder);
    return 1;
}

} // namespace
} // namespace carlume

int main(int argc, char** argv)
{
    return carlume::LaunchCore(argc, argv);
}
