#include "settings/email_bridge.h"

#include "platform/exceptions.h"
#include "platform/folders.h"
#include "tests/support/elf_image.h"
#include "tests/support/fake_services.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

namespace carlume {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string DecodeBase64(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const auto pos = alphabet.find(c);
        if (pos == std::string::npos)
            continue;
        bits = (bits << 6) | unsigned(pos);
        if ((count += 6) >= 8) {
            count -= 8;
            out += char((bits >> count) & 0xFF);
        }
    }
    return out;
}

// A program folder holding a copy of a plug-in build, an outbox and an attachment.
class EmailBridgeTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    fs::path outbox = fs::path(folder.Path()) / "Outbox";
    ScopedFolderOverride program{TFolder::ProgramFile, folder / "cquery"};
    test::ScopedEnv outboxEnv{"CARLUME_OUTBOX", nullptr};
    test::TFakeDialogService dialogs;

    void InstallPlugin(const std::string& build)
    {
        fs::remove(EmailDllPath());
        fs::copy_file(build, EmailDllPath());
    }
    std::string Journal() const { return Slurp(outbox / "tscemail.log"); }
    std::vector<fs::path> Messages() const
    {
        std::vector<fs::path> found;
        if (fs::exists(outbox))
            for (const auto& entry : fs::directory_iterator(outbox))
                if (entry.path().extension() == ".eml")
                    found.push_back(entry.path());
        return found;
    }
};

TEST_F(EmailBridgeTest, MissingPluginRaisesAndShowsNothing)
{
    EXPECT_EQ(EmailDllPath(), folder / "libtscemail.so");
    try {
        SendEmail(dialogs, "a@b.example", "", "s", "", "", "");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Attempt to access TSC Send Email library when plugin not available");
    }
    EXPECT_TRUE(dialogs.Requests().empty());
    EXPECT_FALSE(fs::exists(outbox));
}

TEST_F(EmailBridgeTest, EachSendLoadsStartsStopsAndWritesAMimeMessage)
{
    InstallPlugin(CARLUME_TSCEMAIL_PATH);
    const std::string attachment = folder / "VersionMessage.txt";
    const std::string text = "Program  1.0.0.1\r\nLine two \xe9\n";
    std::ofstream(attachment, std::ios::binary) << text;

    EXPECT_TRUE(SendEmail(dialogs, "support@tsc.example", "", "Versions\r\nBcc: x@y", attachment, "", ""));
    EXPECT_TRUE(SendEmail(dialogs, "", "", "Second", "", "", ""));
    EXPECT_TRUE(dialogs.Requests().empty());
    // The counter starts at 1 again: the second send had a freshly loaded copy.
    EXPECT_EQ(Journal(), "start 0\nsend 1\nstop\nstart 0\nsend 1\nstop\n");

    auto messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    std::sort(messages.begin(), messages.end(),
              [](const auto& a, const auto& b) { return fs::file_size(a) > fs::file_size(b); });
    const std::string eml = Slurp(messages[0]);
    EXPECT_THAT(eml, HasSubstr("\r\nTo: support@tsc.example\r\n"));
    EXPECT_THAT(eml, HasSubstr("\r\nSubject: Versions  Bcc: x@y\r\n")); // no header smuggled in
    EXPECT_THAT(eml, HasSubstr("Content-Disposition: attachment; filename=\"VersionMessage.txt\"\r\n"));
    const auto boundaryAt = eml.find("boundary=\"") + 10;
    const std::string boundary = "--" + eml.substr(boundaryAt, eml.find('"', boundaryAt) - boundaryAt);
    const auto partAt = eml.find("\r\n\r\n", eml.find("filename=")) + 4;
    const std::string part = eml.substr(partAt, eml.find(boundary, partAt) - partAt);
    EXPECT_EQ(DecodeBase64(part), text);
    EXPECT_THAT(eml, HasSubstr(boundary + "--\r\n"));
    EXPECT_THAT(Slurp(messages[1]), HasSubstr("\r\nTo: undisclosed-recipients:;\r\n"));
}

TEST_F(EmailBridgeTest, PluginThatCannotWriteAnswersFalse)
{
    InstallPlugin(CARLUME_TSCEMAIL_PATH);
    std::ofstream(folder / "not-a-folder") << "x";
    test::ScopedEnv env("CARLUME_OUTBOX", (folder / "not-a-folder").c_str());
    EXPECT_FALSE(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""));
    EXPECT_FALSE(SendEmail(dialogs, "a@b.example", "", "s", folder / "no-such-file", "", ""));
}

TEST_F(EmailBridgeTest, NotALibraryOrOneCutShortIsShownAndAnswersFalse)
{
    const std::string contents[] = {
        "junk", test::DamagedElf(test::ReadAll(CARLUME_TSCEMAIL_PATH), test::Damage::CutInASegment)};
    for (const std::string& content : contents) {
        test::WriteAll(EmailDllPath(), content);
        EXPECT_FALSE(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""));
    }
    ASSERT_EQ(dialogs.Requests().size(), 2u);
    for (const auto& request : dialogs.Requests())
        EXPECT_EQ(request.Text, "tscSendEmailPortal: Unable to load " + EmailDllPath());
}

// The box keeps its text; why the plug-in could not be loaded is logged.
TEST_F(EmailBridgeTest, WhyAPluginCannotBeLoadedIsLogged)
{
    test::WriteAll(EmailDllPath(),
                   test::DamagedElf(test::ReadAll(CARLUME_TSCEMAIL_PATH), test::Damage::OtherMachine));
    test::TFakeLogService log;
    TtscEmailIntf email(dialogs, &log);
    EXPECT_FALSE(email.SendEmail("a@b.example", "", "s", "", "", ""));
    EXPECT_THAT(log.Lines(), ::testing::ElementsAre("tscSendEmailPortal: " + EmailDllPath() +
                                                    ": the file is for another kind of machine"));
}

class MissingEntryPoint : public EmailBridgeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingEntryPoint, IsRefusedAndReleasedSoACorrectedPluginLoadsNextTime)
{
    const std::string entry = GetParam();
    InstallPlugin(std::string(CARLUME_TSCEMAIL_VARIANTS) + "/no_" + entry + "/libtscemail.so");
    EXPECT_FALSE(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""));
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].Text, "tscSendEmailPortal: Routine not valid. - " + entry);
    EXPECT_FALSE(fs::exists(outbox / "tscemail.log")) << "a refused plug-in was started";

    InstallPlugin(CARLUME_TSCEMAIL_PATH);
    EXPECT_TRUE(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""));
    EXPECT_EQ(Journal(), "start 0\nsend 1\nstop\n");
}

struct ThrowingCase {
    const char* Name;
    const char* entry; // the entry point that throws
    bool sent;
};

void PrintTo(const ThrowingCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ThrowingPlugin : public EmailBridgeTest, public ::testing::WithParamInterface<ThrowingCase> {};

TEST_P(ThrowingPlugin, WhatItThrowsIsShownItsUseEndsAndTheNextSendWorks)
{
    InstallPlugin(std::string(CARLUME_TSCEMAIL_VARIANTS) + "/throwing/libtscemail.so");
    fs::create_directories(outbox);
    test::ScopedEnv toOutbox("CARLUME_OUTBOX", outbox.c_str());
    {
        test::ScopedEnv throwing("TSCEMAIL_THROW", GetParam().entry);
        EXPECT_EQ(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""), GetParam().sent);
    }
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].Text, "tscSendEmailPortal: an error of type standin::PluginFailure");
    EXPECT_TRUE(SendEmail(dialogs, "a@b.example", "", "s", "", "", ""));
    EXPECT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(Journal(), "start\nsend\nstop\nstart\nsend\nstop\n");
}

INSTANTIATE_TEST_SUITE_P(Entries, ThrowingPlugin,
                         ::testing::Values(ThrowingCase{"Start", "tscEmailStart", true},
                                           ThrowingCase{"Send", "tscTSCSendEmail", false},
                                           ThrowingCase{"Stop", "tscEmailStop", true}),
                         [](const auto& row) { return std::string(row.param.Name); });

INSTANTIATE_TEST_SUITE_P(Each, MissingEntryPoint,
                         ::testing::Values("tscEmailStart", "tscEmailStop", "tscBopSendEmail",
                                           "tscTSCSendEmail"),
                         [](const auto& row) { return std::string(row.param); });

} // namespace
} // namespace carlume
