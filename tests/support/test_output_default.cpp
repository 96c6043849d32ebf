// Compiled into each test binary with its own build folder: run by hand, outside CTest, it leaves its files
// where CTest has it leave them, never in the temporary folder.

#include <cstdlib>

namespace {

[[maybe_unused]] const bool kOutputFolderSet =
    ::setenv("CARLUME_TEST_OUTPUT", CARLUME_TEST_OUTPUT_DEFAULT, 0) == 0;

} // namespace
