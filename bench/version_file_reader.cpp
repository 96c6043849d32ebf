// Reads one version file as the installation-details window does (ReadVersionFile), for whole-process
// timing and peak memory by bench/ini_memory.sh. Exits with 0 when the file was read, 1 when it is missing,
// 2 with the error's message when reading failed.
//
//   version_file_reader FILE

#include "settings/version_files.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_file_reader FILE\n");
        return 2;
    }
    try {
        std::string buildDate, description;
        return carlume::ReadVersionFile(argv[1], buildDate, description) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "version_file_reader: %s\n", error.what());
        return 2;
    }
}
