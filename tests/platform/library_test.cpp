#include "platform/library.h"

#include "platform/folders.h"
#include "platform/paths.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
    EXPECT_NE(LibraryError().find("libchassix.so"), std::string::npos) << LibraryError();
    test::WriteAll(dir / "libchassix.so", "not a library\n");
    EXPECT_EQ(LoadLibrary(dir / "CHASSIX.DLL"), nullptr);
    EXPECT_FALSE(LibraryError().empty());
    EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(ModuleFileName(nullptr), "");
}

} // namespace
} // namespace carlume
