#pragma once

// A private folder below the temporary folder for the files of one fuzzing run; it goes, with everything
// in it, when the run ends.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

inline const std::string& FuzzScratchFolder()
{
    static const struct Folder {
        std::string path;
        Folder()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "carlume-fuzz-XXXXXX").string();
            if (::mkdtemp(pattern.data()) == nullptr)
                std::abort();
            path = pattern + "/";
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    return folder.path;
}
