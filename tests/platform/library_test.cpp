#include "platform/library.h"

#include "platform/file_version.h"
#include "platform/folders.h"
#include "platform/library_check.h"
#include "platform/paths.h"
#include "tests/support/elf_image.h"
#include "tests/support/named_pipe.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <link.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace carlume {
namespace {

TEST(LibraryNameTest, OneMappingForEveryWindowsName)
{
    EXPECT_EQ(LibraryFileName("CHASSIX.DLL"), "libchassix.so");
    EXPECT_EQ(LibraryFileName("Chassix.dll"), "libchassix.so");
    EXPECT_EQ(LibraryFileName("tscEmail.DLL"), "libtscemail.so");
    EXPECT_EQ(LibraryFileName("C4DLL32"), "libc4dll32.so");
    EXPECT_EQ(LibraryFileName("/opt/x/CHASSIX.DLL"), "libchassix.so");
    EXPECT_EQ(LibraryFileName("libchassix.so"), "libchassix.so") << "Linux names pass unchanged";
    EXPECT_EQ(LibraryFileName("libm.so.6"), "libm.so.6");
    EXPECT_EQ(LibraryPath("/opt/carlume/CHASSIX.DLL"), "/opt/carlume/libchassix.so");
    EXPECT_EQ(LibraryPath("/opt/Carlume/libchassix.so"), "/opt/Carlume/libchassix.so");
    ScopedFolderOverride program(TFolder::ProgramFile, "/opt/carlume/cquery");
    EXPECT_EQ(LibraryPath("tscEmail.DLL"), "/opt/carlume/libtscemail.so")
        << "bare names live in the program folder";
}

class LibraryTest : public ::testing::Test {
protected:
    const std::string probeFolder = ExtractFilePath(CARLUME_PROBE_LIBRARY);
};

TEST_F(LibraryTest, LoadResolveAndFree)
{
    HMODULE module = LoadLibrary(probeFolder + "VERSION_PROBE.DLL");
    ASSERT_NE(module, nullptr) << LibraryError();
    EXPECT_EQ(ModuleFileName(module), probeFolder + "libversion_probe.so");
    using Probe = int (*)();
    const auto probe = GetProcAddressAs<Probe>(module, "carlumeVersionProbe");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe(), 1);
    EXPECT_EQ(GetProcAddress(module, "CarlumeVersionProbe"), nullptr) << "names are case-sensitive";
    EXPECT_NE(LibraryError().find("CarlumeVersionProbe"), std::string::npos) << LibraryError();
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LibraryTest, BareNamesAreLookedForInTheProgramFolderOnly)
{
    // The test program sits next to the probe library, as the engine sits next to the program.
    HMODULE module = LoadLibrary("version_probe.dll");
    ASSERT_NE(module, nullptr) << LibraryError();
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(LoadLibrary("libm.so.6"), nullptr) << "never from the system's library path";
}

TEST_F(LibraryTest, FailuresCarryTheSystemsReason)
{
    test::ScratchFolder dir;
    EXPECT_EQ(LoadLibrary(dir / "CHASSIX.DLL"), nullptr);
    // Who shows the reason names the file: the reason does not name it again.
    EXPECT_EQ(LibraryError(), "cannot open shared object file: No such file or directory");
    test::WriteAll(dir / "libchassix.so", "not a library\n");
    EXPECT_EQ(LoadLibrary(dir / "CHASSIX.DLL"), nullptr);
    EXPECT_FALSE(LibraryError().empty());
    EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(ModuleFileName(nullptr), "");
}

} // namespace
} // namespace carlume

namespace carlume::test {
namespace {

struct DamagedLibraryCase {
    std::string Name;
    std::string Library;
    Damage Kind;
    std::string Reason; ///< empty: the system's loader refuses the file by itself
};

std::vector<DamagedLibraryCase> DamagedLibraryCases()
{
    const std::string truncated = "the file is truncated";
    const std::string damaged = "the file's headers are damaged";
    const std::string foreign = "the file is for another kind of machine";
    const std::tuple<const char*, Damage, std::string> damages[] = {
        {"CutInASegment", Damage::CutInASegment, truncated},
        {"HeaderTableCut", Damage::HeaderTableCut, truncated},
        {"BadEntrySize", Damage::BadEntrySize, damaged},
        {"NotElf", Damage::NotElf, ""},
        {"OtherMachine", Damage::OtherMachine, foreign},
        {"OtherByteOrder", Damage::OtherByteOrder, foreign},
        {"OtherClass", Damage::OtherClass, foreign},
        {"LastLoadDropped", Damage::LastLoadDropped, damaged},
        {"DynamicOutside", Damage::DynamicOutside, damaged},
        {"MemoryBelowFile", Damage::MemoryBelowFile, damaged},
        {"DynamicZeroed", Damage::DynamicZeroed, "the file's dynamic section is damaged"}};
    std::vector<DamagedLibraryCase> cases;
    for (const std::string library : {CARLUME_LOADED_LIBRARIES}) {
        std::string name = ExtractFileName(library).substr(3);
        name = name.substr(0, name.find('.'));
        std::erase(name, '_');
        for (const auto& [damage, kind, reason] : damages)
            cases.push_back({name + damage, library, kind, reason});
    }
    return cases;
}

class DamagedLibrary : public ::testing::TestWithParam<DamagedLibraryCase> {};

// An interrupted copy or a full disk leaves a library the system's loader would map and then fault on.
TEST_P(DamagedLibrary, IsRefusedWithAReasonInsteadOfFaulting)
{
    const auto& [name, library, kind, reason] = GetParam();
    ScratchFolder folder;
    const std::string path = folder / ExtractFileName(library);
    WriteAll(path, DamagedElf(ReadAll(library), kind));
    EXPECT_EQ(LoadLibrary(path), nullptr);
    if (reason.empty())
        EXPECT_THAT(LibraryError(), ::testing::HasSubstr("invalid ELF header"));
    else
        EXPECT_EQ(LibraryError(), reason);
    // The details window reads the version of every such file: that must not fault either.
    ReadFileVersionKey(path, "FileVersion");
}

INSTANTIATE_TEST_SUITE_P(Loader, DamagedLibrary, ::testing::ValuesIn(DamagedLibraryCases()), ByName);

struct NotAFileCase {
    std::string Name;
    std::function<void(const std::string& path)> Make;
    std::string Reason;
};

// What is no file would hang the loader (a named pipe waits for a writer) or be acted on (a device); a link
// is followed to what it names.
class NotALibraryFile : public ::testing::TestWithParam<NotAFileCase> {};

TEST_P(NotALibraryFile, IsRefusedWithoutBeingOpened)
{
    ScratchFolder folder;
    const std::string path = folder / "libchassix.so";
    std::optional<ScopedNamedPipe> pipe;
    if (GetParam().Make)
        GetParam().Make(path);
    else
        pipe.emplace(path);
    EXPECT_EQ(LoadLibrary(path), nullptr);
    EXPECT_EQ(LibraryError(), GetParam().Reason);
    EXPECT_FALSE(pipe && pipe->ReleasedAReader());
}

INSTANTIATE_TEST_SUITE_P(
    Loader, NotALibraryFile,
    ::testing::Values(
        NotAFileCase{"NamedPipe", nullptr, "it is a named pipe, not a library file"},
        NotAFileCase{"Folder", [](const std::string& path) { std::filesystem::create_directory(path); },
                     "it is a folder, not a library file"},
        NotAFileCase{"LinkToADevice",
                     [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); },
                     "it is a device, not a library file"},
        NotAFileCase{"Socket",
                     [](const std::string& path) {
                         sockaddr_un address{};
                         address.sun_family = AF_UNIX;
                         ASSERT_LT(path.size(), sizeof address.sun_path);
                         path.copy(address.sun_path, path.size());
                         const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
                         ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
                         close(fd);
                     },
                     "it is a socket, not a library file"}),
    ByName);

// The program's own libraries and the system's, libc and the C++ library among them, pass the look.
TEST(LibraryCheck, PassesEveryRealLibrary)
{
    std::vector<std::string> libraries{CARLUME_LOADED_LIBRARIES, CARLUME_PROBE_LIBRARY};
    const std::size_t ours = libraries.size();
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            if (info->dlpi_name != nullptr && *info->dlpi_name == '/')
                static_cast<std::vector<std::string>*>(found)->push_back(info->dlpi_name);
            return 0;
        },
        &libraries);
    ASSERT_GT(libraries.size(), ours + 2) << "the system's libraries were not found";
    for (const std::string& library : libraries)
        EXPECT_EQ(DamagedLibraryReason(library), "") << library;
}

} // namespace
} // namespace carlume::test
