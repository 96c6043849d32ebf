// Reads an INI file as the program does, in a process whose address space is limited to what it uses at
// start plus a number of megabytes, and tells by its exit status how that went:
//   0  done
//   1  refused with the error that names the file as too large for the memory available
//   2  another error, 3  bad arguments or no limit set
//   4  refused with the error that names the file as too large to read
// What it does: "update" writes a key and saves the file (as a run does with cquery.ini); "prefix" reads
// the first characters of [General] Description (as the details window does with a version file).
// Built without the sanitizers, which end a process out of memory instead of letting it go on.
//
//   ini_read_under_limit FILE MEGABYTES update|prefix

#include "platform/exceptions.h"
#include "platform/ini_files.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    using namespace carlume;
    if (argc != 4)
        return 3;
    const std::string path = argv[1];
    std::size_t pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%zu", &pages) != 1)
        return 3;
    std::fclose(statm);
    rlimit limit{};
    ::getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur =
        pages * std::size_t(::sysconf(_SC_PAGESIZE)) + (std::strtoull(argv[2], nullptr, 10) << 20);
    if (::setrlimit(RLIMIT_AS, &limit) != 0)
        return 3;
    try {
        TMemIniFile ini(path, TWriteMode::Unsynced);
        if (std::strcmp(argv[3], "update") == 0) {
            ini.WriteString("Last", "CommandLine", "ini_read_under_limit");
            ini.UpdateFile();
        } else if (ini.ReadStringPrefix("General", "Description", 1025).empty()) {
            return 2;
        }
        return 0;
    } catch (const EStreamError& e) {
        if (e.Message().find(path) == std::string::npos)
            return 2;
        return e.Reason() == STooLargeForMemory ? 1 : e.Reason() == STooLargeToRead ? 4 : 2;
    } catch (...) {
        return 2;
    }
}
