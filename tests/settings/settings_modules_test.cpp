#include "settings/settings_modules.h"

#include "platform/exceptions.h"
#include "platform/folders.h"
#include "settings/data_storage.h"
#include "tests/support/elf_image.h"
#include "tests/support/named_pipe.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct ModuleKind {
    std::string Name, Article, What, File, OtherModule;
    std::function<void(std::string_view)> Load;
};

const ModuleKind Xml{
    "Xml", "an", "XML settings storage", "libcarlume_xml.so", CARLUME_JPEG_MODULE, [](std::string_view path) {
        LoadXmlStorageModule(path);
    }};
const ModuleKind Jpeg{
    "Jpeg", "a", "picture decoder", "libcarlume_jpeg.so", CARLUME_XML_MODULE, [](std::string_view path) {
        LoadJpegDecoderModule(path);
    }};

enum class Fault {
    Absent,
    NotALibrary,
    Truncated,
    OtherMachine,
    NamedPipe,
    NoEntry,
    OtherVersion,
    LibraryMissingUnderIt
};

struct BrokenModuleCase {
    std::string Name;
    ModuleKind Kind;
    Fault Problem;
};

std::vector<BrokenModuleCase> BrokenModuleCases()
{
    const std::pair<const char*, Fault> faults[] = {{"Absent", Fault::Absent},
                                                    {"NotALibrary", Fault::NotALibrary},
                                                    {"Truncated", Fault::Truncated},
                                                    {"OtherMachine", Fault::OtherMachine},
                                                    {"NamedPipe", Fault::NamedPipe},
                                                    {"NoEntry", Fault::NoEntry},
                                                    {"OtherVersion", Fault::OtherVersion},
                                                    {"LibraryMissingUnderIt", Fault::LibraryMissingUnderIt}};
    std::vector<BrokenModuleCase> cases;
    for (const ModuleKind& kind : {Xml, Jpeg})
        for (const auto& [name, fault] : faults)
            cases.push_back({kind.Name + name, kind, fault});
    return cases;
}

class BrokenModules : public ::testing::TestWithParam<BrokenModuleCase> {};

// Every fault gives a message that names the file tried; the module is looked for again on the next use.
TEST_P(BrokenModules, AreReportedWithTheirPath)
{
    const auto& [name, kind, fault] = GetParam();
    ScratchFolder folder;
    const std::string path = folder / kind.File;
    const std::string unable = "Unable to load the " + kind.What + " " + path + ": ";
    ::testing::Matcher<const std::string&> expected = StartsWith(unable);
    std::optional<ScopedNamedPipe> pipe;
    switch (fault) {
    case Fault::Absent:
        expected = AllOf(StartsWith(unable), HasSubstr("No such file"));
        break;
    case Fault::NotALibrary:
        WriteAll(path, std::string(4096, 'x'));
        break;
    case Fault::Truncated:
    case Fault::OtherMachine: {
        // A copy of the module itself, cut short or made for another processor.
        const bool cut = fault == Fault::Truncated;
        WriteAll(path, DamagedElf(ReadAll(kind.Name == "Xml" ? CARLUME_XML_MODULE : CARLUME_JPEG_MODULE),
                                  cut ? Damage::CutInASegment : Damage::OtherMachine));
        expected = unable + (cut ? "the file is truncated" : "the file is for another kind of machine");
        break;
    }
    case Fault::NamedPipe:
        pipe.emplace(path);
        expected = unable + "it is a named pipe, not a library file";
        break;
    case Fault::NoEntry:
        fs::copy_file(kind.OtherModule, path);
        expected = path + " is not " + kind.Article + " " + kind.What + " module of this program";
        break;
    case Fault::OtherVersion:
        fs::copy_file(CARLUME_OTHER_VERSION_MODULES, path);
        expected = path + ": the module was built for another version of the program";
        break;
    case Fault::LibraryMissingUnderIt:
        fs::copy_file(CARLUME_MISSING_LIBRARY_MODULES, path);
        expected = AllOf(StartsWith(unable), HasSubstr("libcarlume_absent.so"));
        break;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            kind.Load(folder / "CARLUME_" + kind.Name + ".DLL");
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_THAT(e.Message(), expected);
        }
    }
    EXPECT_FALSE(pipe && pipe->ReleasedAReader()) << "the pipe was opened";
}

INSTANTIATE_TEST_SUITE_P(Loader, BrokenModules, ::testing::ValuesIn(BrokenModuleCases()), ByName);

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

// The windows' storage front and logo decoder take their modules from the program folder when they first
// need them; INI settings need neither.
TEST(SettingsModules, ComeFromTheProgramFolderWhenFirstNeeded)
{
    ScratchFolder program;
    const ScopedFolderOverride exe(TFolder::ProgramFile, program / "cquery");
    WriteAll(program / "settings.ini", "[General]\r\nDescription=kept\r\n");
    WriteAll(program / "settings.xml",
             "<?xml version=\"1.0\"?>\r\n<Root>\r\n\t<Item>value</Item>\r\n</Root>\r\n");
    TtscDataStorage ini;
    ini.SetStorageType(1);
    ini.SetFileName(program / "settings.ini");
    TtscDataStorage xml;
    xml.SetFileName(program / "settings.xml");

    EXPECT_EQ(ini.ReadValue("General", "Description"), "kept");
    EXPECT_THAT(
        MessageOf([&] { xml.ReadValue("Root", "Item"); }),
        StartsWith("Unable to load the XML settings storage " + (program / "libcarlume_xml.so") + ": "));
    EXPECT_THAT(MessageOf([] { DecodeJpegFile(CARLUME_TEST_LOGO); }),
                StartsWith("Unable to load the picture decoder " + (program / "libcarlume_jpeg.so") + ": "));

    fs::copy_file(CARLUME_XML_MODULE, program / "libcarlume_xml.so");
    fs::copy_file(CARLUME_JPEG_MODULE, program / "libcarlume_jpeg.so");
    EXPECT_EQ(xml.ReadValue("Root", "Item"), "value");
    const TJpegPicture logo = DecodeJpegFile(CARLUME_TEST_LOGO);
    EXPECT_GT(logo.Width, 0);
    EXPECT_EQ(logo.Rgb.size(), std::size_t(logo.Width) * std::size_t(logo.Height) * 3);
    EXPECT_THAT(MessageOf([] { DecodeJpeg("not a picture"); }), StartsWith("JPEG error: "));
}

} // namespace
} // namespace carlume::test
