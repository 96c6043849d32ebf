#include "components/file_util.h"

#include "platform/files.h"

namespace carlume {

bool DirExists(const std::string& path)
{
    return DirectoryExists(path);
}

} // namespace carlume
