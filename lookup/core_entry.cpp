#include "lookup/core_entry.h"

#include "lookup/carquery.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
CarlumeCoreMain(int argc, const char* const* argv, const char* removedHandBackFile) noexcept
{
    return carlume::ProgramMainBlock(argc, argv, removedHandBackFile);
}

static_assert(std::is_same_v<decltype(&CarlumeCoreMain), carlume::TCoreEntry>);
