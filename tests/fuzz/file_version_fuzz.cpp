#include "platform/file_version.h"

#include "tests/support/elf_image.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The first byte chooses how the rest is fed: as a whole file, or as the note data of an otherwise
// well-formed file (through a segment or a section), so that the note walk and the JSON parse are reached.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string image;
    switch (data[0] % 3) {
    case 0:
        image = rest;
        break;
    case 1:
        image = carlume::test::MakeElf(rest, carlume::test::Place::Segment);
        break;
    default:
        image = carlume::test::MakeElf(rest, carlume::test::Place::Section);
        break;
    }
    (void)carlume::ReadFileVersionKeyFromMemory(image.data(), image.size(), "FileVersion");
    return 0;
}
