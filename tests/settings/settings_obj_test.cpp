#include "settings/settings_obj.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "settings/pm_maint_prefs.h"
#include "settings/version_files.h"
#include "tests/support/memory_limit.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/user_lookalikes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace carlume {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::Not;

const std::string kNewFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TSCSettings>\r\n</TSCSettings>\r\n";

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A settings file whose root holds `body`.
std::string Settings(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TSCSettings>" + body + "</TSCSettings>\r\n";
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// A tool folder with the settings base "PMMaint" and the Windows folder beside it.
class SettingsObjTest : public ::testing::Test {
protected:
    test::ScratchFolder root;
    std::string tool = root / "tool/";
    std::string win = root / "win";
    test::ScopedEnv winDir{"WINDIR", win.c_str()};
    std::string d = tool + "PMMaintd.xml", a = tool + "PMMainta.xml", u = win + "/PMMaintu.xml";

    SettingsObjTest() { fs::create_directories(win); }
    std::unique_ptr<TSettingsObj> Open(const std::string& dBody, const std::string* aBody = nullptr,
                                       const std::string* uBody = nullptr)
    {
        Put(d, Settings(dBody));
        if (aBody)
            Put(a, Settings(*aBody));
        if (uBody)
            Put(u, Settings(*uBody));
        auto settings = std::make_unique<TSettingsObj>();
        settings->SetFileName(tool + "PMMaint");
        return settings;
    }
};

TEST_F(SettingsObjTest, ScopeFileNames)
{
    ScopedFolderOverride program(TFolder::ProgramFile, root / "bin/cquery");
    TSettingsObj settings;
    EXPECT_EQ(settings.ScopeFileName(ssDefault), root / "bin/cqueryd.xml");
    settings.SetFileName("/x/PMMaintenance.exe");
    EXPECT_EQ(settings.ScopeFileName(ssDefault), "/x/PMMaintd.xml");
    EXPECT_EQ(settings.ScopeFileName(ssAllUsers), "/x/PMMainta.xml");
    EXPECT_EQ(settings.ScopeFileName(ssUser), win + "/PMMaintu.xml");
    settings.SetFileName("./sub/Tool.cfg");
    settings.StorageType = 1;
    EXPECT_EQ(settings.ScopeFileName(ssAllUsers), root / "bin/sub/Toola.ini");
}

TEST_F(SettingsObjTest, OpeningCreatesTheOverrideFilesButNeverTheDefault)
{
    TSettingsObj settings;
    settings.SetFileName(tool + "PMMaint");
    fs::create_directories(tool);
    EXPECT_EQ(MessageOf([&] { settings.ReadString("TSCSettings/Backup", "Enabled", ""); }),
              "Storage name invalid (" + d + ").  Cannot load storage data.");
    EXPECT_FALSE(fs::exists(d));
    EXPECT_EQ(Slurp(a), kNewFile);
    EXPECT_EQ(Slurp(u), kNewFile);
}

TEST_F(SettingsObjTest, ReadsTakeTheMostSpecificScope)
{
    struct Case {
        const char* name;
        std::string d, a, u, expected;
        bool withA, withU;
    };
    const Case cases[] = {
        {"default", "<S><V>30</V></S>", "", "", "30", false, false},
        {"all users", "<S><V>30</V></S>", "<S><V>40</V></S>", "", "40", true, false},
        {"user", "<S><V>30</V></S>", "<S><V>40</V></S>", "<S><V>50</V></S>", "50", true, true},
        {"empty all-users value wins", "<S><V>30</V></S>", "<S><V/></S>", "", "dflt", true, false},
        {"attribute of the default", "<S V=\"7\"><V/></S>", "", "", "7", false, false},
    };
    for (const auto& c : cases) {
        fs::remove(a);
        fs::remove(u);
        auto settings = Open(c.d, c.withA ? &c.a : nullptr, c.withU ? &c.u : nullptr);
        EXPECT_EQ(settings->ReadString("TSCSettings/S", "V", "dflt"), c.expected) << c.name;
    }
}

TEST_F(SettingsObjTest, ConversionsAndScopeErrors)
{
    auto settings = Open("<S><I> 42 </I><N>abc</N><Big>99999999999</Big><B>true</B><One>1</One></S>");
    EXPECT_EQ(settings->ReadInteger("TSCSettings/S", "I", 0), 42);
    EXPECT_EQ(settings->ReadInteger("TSCSettings/S", "N", 5), 5);
    EXPECT_EQ(settings->ReadInteger("TSCSettings/S", "Big", 5), 5);
    EXPECT_FALSE(settings->ReadBool("TSCSettings/S", "B", true));
    EXPECT_TRUE(settings->ReadBool("TSCSettings/S", "One", false));
    EXPECT_TRUE(settings->ReadBool("TSCSettings/S", "Missing", true));

    EXPECT_EQ(MessageOf([&] { settings->WriteInteger("TSCSettings/S", "I", 1, ssNone); }),
              "No scope specified in DoWriteString\r\nSection: TSCSettings/S\r\nItem: I\r\nValue: 1");
    EXPECT_EQ(MessageOf([&] { settings->EraseSectionByScope("TSCSettings/S", ssNone); }),
              "No scope specified in DoEraseSection\r\nSection: TSCSettings/S");
    EXPECT_EQ(MessageOf([&] { settings->EraseSectionByScope("TSCSettings/S", ssDefault); }),
              "Delete default not allowed in DoEraseSection\r\nSection: TSCSettings/S");
    settings->SettingsLevel = {ssDefault, ssAllUsers};
    EXPECT_EQ(MessageOf([&] { settings->EraseSectionByScope("TSCSettings/S", ssUser); }),
              "Scope not valid for SettingsLevel in EraseSectionByScope");
}

TEST_F(SettingsObjTest, WritesKeepOnlyWhatDiffersFromWhatTheScopeInherits)
{
    struct Case {
        const char* name;
        std::string a, u;
        int value;
        TSettingsScope scope;
        bool aHasValue, uHasValue;
        std::string read;
    };
    const Case cases[] = {
        {"equal to the default", "<S><V>40</V></S>", "", 30, ssAllUsers, false, false, "30"},
        {"differs from the default", "", "", 40, ssAllUsers, true, false, "40"},
        {"user equal to the new all-users value", "<S><V>40</V></S>", "<S><V>40</V></S>", 40, ssAllUsers,
         true, false, "40"},
        {"user override", "", "", 50, ssUser, false, true, "50"},
        {"default scope removes both", "<S><V>40</V></S>", "<S><V>50</V></S>", 99, ssDefault, false, false,
         "30"},
    };
    for (const auto& c : cases) {
        auto settings = Open("<S><V>30</V></S>", &c.a, &c.u);
        const std::string defaultBytes = Slurp(d);
        settings->WriteInteger("TSCSettings/S", "V", c.value, c.scope);
        EXPECT_EQ(settings->ReadString("TSCSettings/S", "V", ""), c.read) << c.name;
        EXPECT_EQ(Slurp(a), Settings(c.a)) << c.name << ": nothing reaches the disk before Save";
        settings->Save();
        EXPECT_EQ(Slurp(a).find("<V>") != std::string::npos, c.aHasValue) << c.name;
        EXPECT_EQ(Slurp(u).find("<V>") != std::string::npos, c.uHasValue) << c.name;
        EXPECT_EQ(Slurp(d), defaultBytes) << c.name;
    }
}

TEST_F(SettingsObjTest, AnUnreadableOverrideFileIsMovedAsideAndReplaced)
{
    const std::string corrupt = "<TSCSettings><S>";
    Put(a, corrupt);
    auto settings = Open("<S><V>30</V></S>");
    ScopedClock clock([] { return EncodeDate(2026, 12, 7) + 0.5; });
    EXPECT_EQ(MessageOf([&] { settings->ReadString("TSCSettings/S", "V", ""); }),
              "The setting file " + a + " was unreadable and had to be replaced with a new file");
    const std::string aside = a + "CannotParse20261207120000000";
    EXPECT_EQ(Slurp(aside), corrupt);
    EXPECT_EQ(Slurp(a), kNewFile);
    EXPECT_EQ(settings->ReadString("TSCSettings/S", "V", ""), "30");

    // The same moment again: the earlier rescued copy is never replaced.
    Put(a, "<second");
    TSettingsObj again;
    again.SetFileName(tool + "PMMaint");
    EXPECT_THAT(MessageOf([&] { again.ReadString("TSCSettings/S", "V", ""); }), Not(HasSubstr("replaced")));
    EXPECT_EQ(Slurp(aside), corrupt);
    EXPECT_EQ(Slurp(a), "<second");

    // A failure that is not a parse error leaves the file alone.
    fs::remove(a);
    fs::create_directory(a);
    TSettingsObj blocked;
    blocked.SetFileName(tool + "PMMaint");
    EXPECT_THAT(MessageOf([&] { blocked.ReadString("TSCSettings/S", "V", ""); }), HasSubstr(a));
    EXPECT_TRUE(fs::is_directory(a));
}

// An override file that runs out of memory as it is read is kept as it is, and the error names it, however
// the file is stored and whatever its folder is called. Once there is memory again it reads as ever.
TEST_F(SettingsObjTest, RunningOutOfMemoryKeepsTheFileAndNamesIt)
{
    struct Row {
        const char* name;
        std::uint8_t storageType;
        const char* folder;
    };
    const std::string big(100000, 'x');
    for (const Row& row :
         {Row{"XML", 2, "tool/"}, Row{"XML in a folder named like a parse error", 2, "Parser Error/"},
          Row{"INI", 1, "tool/"}}) {
        SCOPED_TRACE(row.name);
        const std::string folder = root / row.folder;
        TSettingsObj settings;
        settings.StorageType = row.storageType;
        settings.SetFileName(folder + "PMMaint");
        const std::string file = settings.ScopeFileName(ssAllUsers);
        const std::string bytes = row.storageType == 1 ? "[S]\r\nV=40\r\nBig=" + big + "\r\n"
                                                       : Settings("<S><V>40</V><Big>" + big + "</Big></S>");
        Put(settings.ScopeFileName(ssDefault), row.storageType == 1 ? "" : Settings(""));
        Put(file, bytes);
        EXPECT_EQ(settings.ReadString("S", "V", ""), "40");
        settings.SetFileName(folder + "PMMaint");
        {
            const test::ScopedMemoryLimit limit(big.size() * 3 / 4);
            EXPECT_EQ(MessageOf([&] { settings.ReadString("S", "V", ""); }),
                      "Cannot open file \"" + file + "\". " + std::string(STooLargeForMemory));
        }
        EXPECT_EQ(Slurp(file), bytes);
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_THAT(entry.path().string(), Not(HasSubstr("CannotParse")));
        EXPECT_EQ(settings.ReadString("S", "V", ""), "40");
    }
}

TEST_F(SettingsObjTest, MaintenancePreferences)
{
    const std::string rollBackup = tool + "RollBackup";
    struct Case {
        const char* name;
        std::string d, a, u;
        std::function<void(const TPMMaint_Prefs&)> check;
    };
    const std::string other = root / "elsewhere";
    fs::create_directories(other);
    const Case cases[] = {
        {"defaults", "", "", "",
         [&](const TPMMaint_Prefs& p) {
             EXPECT_TRUE(p.BackupEnabled);
             EXPECT_FALSE(p.TraceBackupEnabled);
             EXPECT_EQ(p.Capacity, 30);
             EXPECT_TRUE(p.AutoCleanupEnabled);
             EXPECT_EQ(p.StructSize, 0);
             EXPECT_EQ(p.RollBackupPath, rollBackup);
             EXPECT_TRUE(fs::is_directory(rollBackup));
             EXPECT_EQ(p.EmailAddress, "");
         }},
        {"user value promoted to all users", "<Backup><Capacity>30</Capacity></Backup>", "",
         "<TraceBackup><Enabled>1</Enabled></TraceBackup><Email><EmailAddress>help@tsc.example</"
         "EmailAddress></Email>"
         "<ViewRTRXml>1</ViewRTRXml>",
         [&](const TPMMaint_Prefs& p) {
             EXPECT_TRUE(p.TraceBackupEnabled);
             EXPECT_TRUE(p.ViewRTRXml);
             EXPECT_EQ(p.EmailAddress, "help@tsc.example");
             EXPECT_THAT(Slurp(a), HasSubstr("<TraceBackup>"));
             EXPECT_THAT(Slurp(u), Not(HasSubstr("<TraceBackup>")));
             EXPECT_THAT(Slurp(a), Not(HasSubstr("<Capacity>")));
         }},
        {"bad capacity, missing roll-backup folder, backup off", "<Backup><Capacity>30</Capacity></Backup>",
         "<Backup><Capacity>abc</Capacity><Enabled>0</Enabled><RollBackupPath>" + root / "gone" +
             "</RollBackupPath></Backup>",
         "",
         [&](const TPMMaint_Prefs& p) {
             EXPECT_EQ(p.Capacity, 30);
             EXPECT_FALSE(p.BackupEnabled);
             EXPECT_EQ(p.RollBackupPath, rollBackup);
             EXPECT_FALSE(fs::exists(rollBackup));
             EXPECT_THAT(Slurp(a), Not(HasSubstr("RollBackupPath")));
             EXPECT_THAT(Slurp(a), Not(HasSubstr("<Capacity>")));
         }},
        {"existing roll-backup folder stays", "",
         "<Backup><RollBackupPath>" + other + "</RollBackupPath></Backup>", "",
         [&](const TPMMaint_Prefs& p) { EXPECT_EQ(p.RollBackupPath, other); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(rollBackup);
        Put(d, Settings(c.d));
        Put(a, Settings(c.a));
        Put(u, Settings(c.u));
        c.check(TPMMaint_Prefs(tool));
    }
    fs::remove(d);
    EXPECT_EQ(MessageOf([&] { TPMMaint_Prefs{tool}; }),
              "Storage name invalid (" + d + ").  Cannot load storage data.");
}

TEST_F(SettingsObjTest, SavesWriteOnlyWhatChangedAndLeaveTheUsersFiles)
{
    Put(d, Settings("<Backup><Capacity>30</Capacity></Backup>"));
    test::PlantUserLookalikes(tool);
    test::PlantUserLookalikes(win);
    Put(tool + "P5_USER.ver", "[General]\r\nBuildDate=20240101\r\n");
    TPMMaint_Prefs{tool};
    const std::string written = Slurp(a);

    std::vector<std::string> writes;
    ScopedFileFault watch([&](TFileStep step, const std::string& path) {
        if (step == TFileStep::Create)
            writes.push_back(path);
        return 0;
    });
    TPMMaint_Prefs{tool};
    EXPECT_THAT(writes, IsEmpty()) << "the preferences wrote back what the files already held";
    EXPECT_EQ(Slurp(a), written);

    EXPECT_TRUE(ClearVersionBuildDate(tool + "P5_USER.ver"));
    EXPECT_TRUE(ClearVersionBuildDate(tool + "P5_USER.ver"));
    EXPECT_EQ(writes, (std::vector<std::string>{tool + "P5_USER.ver"})) << "cleared once, then unchanged";
    EXPECT_EQ(Slurp(tool + "P5_USER.ver"), "[General]\r\nBuildDate=\r\n");
    EXPECT_THAT(test::LostUserLookalikes(tool), IsEmpty());
    EXPECT_THAT(test::LostUserLookalikes(win), IsEmpty());
}

} // namespace
} // namespace carlume
