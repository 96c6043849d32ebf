#include "settings/about_box.h"

#include "components/gradient_button.h"
#include "platform/folders.h"
#include "platform/gui/error_guard.h"
#include "platform/ini_document.h"
#include "platform/utf8.h"
#include "tests/support/fake_services.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scoped_error_dialogs.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_output.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace carlume {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
// Table rows print as their names.
using test::PrintTo;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string VersionFile(const std::string& buildDate, const std::string& description)
{
    return "[General]\r\nBuildDate=" + buildDate + "\r\nDescription=" + description + "\r\nOther=kept\r\n";
}

void SavePicture(QWidget& window, const char* name)
{
    const fs::path file = test::TestOutputFolder() / (std::string(name) + ".png");
    EXPECT_TRUE(window.grab().save(QString::fromStdString(file.string()))) << file;
}

template <class T> T& Child(QWidget& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no child ") + name);
    return *child;
}

// A program folder with siblings, version files and the e-mail plug-in, and the services the windows use.
class AboutWindowsTest : public ::testing::Test {
protected:
    test::ScratchFolder folder;
    std::string program = folder.Path() + "/";
    ScopedFolderOverride exe{TFolder::ProgramFile, program + "cquery"};
    test::ScopedEnv outbox{"CARLUME_OUTBOX", (folder / "outbox").c_str()};
    test::TFakeServices fakes;
    test::TScopedHandlerErrorDialogs errors{&fakes.Dialogs};
    TAboutBoxProperties properties;

    AboutWindowsTest()
    {
        properties.ProductTitle = "Polimark Carlume";
        properties.Version = "1.0.0.1";
        properties.InstallLocation = program;
        properties.UserName = "Polimark User";
        properties.StartYear = "1998";
        properties.EndYear = "2026";
        properties.LogoFile = program + "CLLogo.jpg";
        fs::copy_file(CARLUME_JPEG_MODULE, program + "libcarlume_jpeg.so");
    }
    void MakeInstallation()
    {
        fs::copy_file(CARLUME_TEST_LOGO, properties.LogoFile);
        fs::copy_file(CARLUME_TSCEMAIL_PATH, program + "libtscemail.so");
        Put(program + "CQUERY", "not a program"); // found whatever its case, shown as on disk
        Put(program + "P5_USER.ver", "[General]\r\nLongACTID=1234-5678\r\n");
        Put(program + "cquery.ver", VersionFile("20240115", "Carlume program"));
        Put(program + "engine/data.ver", VersionFile("2024", "Engine data"));
        Put(program + "rates/data.ver", VersionFile("20231201", "Rate tables"));
        Put(program + "my-file.ver", VersionFile("20200202", "  "));
        Put(program + "Server", VersionFile("20200202", "Not a version file"));
    }
};

TEST_F(AboutWindowsTest, AboutBoxShowsThePropertiesAndActsOnItsLinks)
{
    MakeInstallation();
    properties.BuildNumber = " 42 ";
    properties.Phone = "555-0100";
    properties.InstallLocation = program + std::string(80, 'x') + "/";
    TAboutBox box(nullptr, properties, fakes.Services());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    auto text = [&](const char* name) { return Child<QLabel>(box, name).text().toStdString(); };
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(text("lblVersion"), "1.0.0.1  Build:  42 ");
    EXPECT_EQ(text("lblPhone"), "Phone: 555-0100");
    EXPECT_EQ(text("Copyright"), "Copyright \u00a9 1998-2026 Tamsel Software. All rights reserved.");
    EXPECT_THAT(text("lblInstall"), ::testing::EndsWith("..."));
    // Shortened to what its panel shows of it.
    const QLabel& install = Child<QLabel>(box, "lblInstall");
    const int installWidth = QFontMetrics(install.font()).horizontalAdvance(install.text());
    const int visible = install.parentWidget()->width() - install.x();
    EXPECT_GT(installWidth, visible - QFontMetrics(install.font()).horizontalAdvance(QStringLiteral("x...")));
    EXPECT_LE(installWidth, visible);
    EXPECT_EQ(Child<QLabel>(box, "lblInstall").toolTip().toStdString(), properties.InstallLocation);
    EXPECT_FALSE(Child<QLabel>(box, "ImageLogo").pixmap().isNull());

    QTest::mouseClick(&Child<QLabel>(box, "lblWebSite"), Qt::LeftButton);
    QTest::mouseClick(&Child<QLabel>(box, "lblEmail"), Qt::LeftButton);
    QTest::mouseClick(&Child<QLabel>(box, "lblInstall"), Qt::LeftButton);
    const auto& shell = fakes.Shell.Requests();
    ASSERT_EQ(shell.size(), 3u);
    EXPECT_EQ(shell[0].File, "www.tamselsoftware.example");
    EXPECT_EQ(shell[0].ShowCommand, 5);
    EXPECT_EQ(shell[1].File, "MailTo:support@tamselsoftware.example");
    EXPECT_EQ(shell[2].File, properties.InstallLocation);
    EXPECT_EQ(shell[2].ShowCommand, 1);
    QTest::mouseClick(&Child<TGradientButton>(box, "btnPasteInstallLocation"), Qt::LeftButton);
    EXPECT_EQ(fakes.Clipboard.Text(), properties.InstallLocation);
    SavePicture(box, "about_box");

    // The toggle swaps the panels and its caption, and back.
    QLabel& toggle = Child<QLabel>(box, "lblShowCopyright");
    const QPoint inPanels = Child<QWidget>(box, "pnlProductInfo").geometry().center();
    for (const bool notice : {true, false}) {
        QTest::mouseClick(&toggle, Qt::LeftButton);
        EXPECT_EQ(box.NoticeShown(), notice);
        EXPECT_EQ(toggle.text(),
                  notice ? QStringLiteral("Click to show Product Information")
                         : QStringLiteral("Click to show Third Party Copyright/Royalty Information"));
        const QWidget* front = Child<QWidget>(box, "pnlInner").childAt(inPanels);
        EXPECT_TRUE(Child<QWidget>(box, notice ? "pnlCopyrightInfo" : "pnlProductInfo").isAncestorOf(front));
    }
}

// The install location, short or long: shortened to what its panel shows, the dots included, and opened
// whole.
struct TInstallPath {
    const char* Name;
    std::size_t Folders; // of 20 characters each below the program folder
    bool Shortened;
};

class AboutBoxInstallTest : public AboutWindowsTest, public ::testing::WithParamInterface<TInstallPath> {};

TEST_P(AboutBoxInstallTest, TheShownPathLiesWithinItsPanel)
{
    // A path of its own, not the scratch folder's: how long the temporary folder's path is must not matter.
    properties.InstallLocation = "/opt/Qelvo/Carlume/";
    for (std::size_t i = 0; i < GetParam().Folders; ++i)
        properties.InstallLocation += std::string(19, char('a' + i)) + "/";
    TAboutBox box(nullptr, properties, fakes.Services());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QLabel& install = Child<QLabel>(box, "lblInstall");
    const std::string shown = install.text().toStdString();
    if (GetParam().Shortened) {
        ASSERT_THAT(shown, ::testing::EndsWith("..."));
        EXPECT_EQ(properties.InstallLocation.rfind(shown.substr(0, shown.size() - 3), 0), 0u);
    } else {
        EXPECT_EQ(shown, properties.InstallLocation);
    }
    EXPECT_LE(QFontMetrics(install.font()).horizontalAdvance(install.text()), install.width());
    EXPECT_LE(install.geometry().right(), install.parentWidget()->rect().right()) << "cut off by its panel";
    EXPECT_EQ(install.toolTip().toStdString(), properties.InstallLocation);
    QTest::mouseClick(&install, Qt::LeftButton, Qt::NoModifier, QPoint(install.width() - 2, 5));
    ASSERT_EQ(fakes.Shell.Requests().size(), 1u);
    EXPECT_EQ(fakes.Shell.Requests()[0].File, properties.InstallLocation);
}

INSTANTIATE_TEST_SUITE_P(Paths, AboutBoxInstallTest,
                         ::testing::Values(TInstallPath{"Short", 0, false}, TInstallPath{"Long", 4, true},
                                           TInstallPath{"VeryLong", 12, true}),
                         test::ByName);

TEST_F(AboutWindowsTest, TheBoxOpensOnAVisibleControlAndTabSkipsTheHiddenPanel)
{
    TAboutBox box(nullptr, properties, fakes.Services());
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    QWidget& details = Child<QWidget>(box, "BtnShowDetails");
    QWidget& paste = Child<QWidget>(box, "btnPasteInstallLocation");
    QWidget& ok = Child<QWidget>(box, "OKButton");
    QWidget& notice = Child<QWidget>(box, "memCopyrightInfo");
    const auto tab = [](Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(QApplication::focusWidget(), &details);
    EXPECT_EQ(tab(), &paste);
    EXPECT_EQ(tab(), &ok);
    EXPECT_EQ(tab(), &details);
    EXPECT_EQ(tab(Qt::ShiftModifier), &ok);

    // With the notice in front, the focus goes round the notice and the buttons, and never to "?".
    QTest::mouseClick(&Child<QLabel>(box, "lblShowCopyright"), Qt::LeftButton);
    EXPECT_EQ(tab(), &notice);
    EXPECT_EQ(tab(), &paste);
    EXPECT_EQ(tab(), &ok);
    EXPECT_EQ(tab(), &notice);
    // "?" held the focus when its panel went behind: the focus moves on to a visible control.
    QTest::mouseClick(&Child<QLabel>(box, "lblShowCopyright"), Qt::LeftButton);
    details.setFocus();
    QTest::mouseClick(&Child<QLabel>(box, "lblShowCopyright"), Qt::LeftButton);
    EXPECT_TRUE(QApplication::focusWidget() != nullptr && QApplication::focusWidget()->isVisible());

    ok.setFocus();
    QTest::keyClick(&ok, Qt::Key_Space);
    EXPECT_EQ(box.ModalResult(), mrOk);
}

TEST_F(AboutWindowsTest, TheBoxKeepsItsSizeAndTheDetailsKeepTheirLaidOutSize)
{
    MakeInstallation();
    TAboutBox box(nullptr, properties, fakes.Services());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.size(), QSize(375, 428));
    EXPECT_EQ(box.minimumSize(), box.size());
    EXPECT_EQ(box.maximumSize(), box.size());
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    TFmAboutDetails details(&box, properties, fakes.Services());
    details.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&details));
    EXPECT_EQ(details.minimumSize(), details.size());
    details.resize(100, 100);
    EXPECT_EQ(details.size(), details.minimumSize()) << "the buttons stay in sight";
}

TEST_F(AboutWindowsTest, ALongDescriptionLeavesTheDetailsWithinTheScreenAndScrolls)
{
    MakeInstallation();
    Put(program + "long.ver", VersionFile("20240101", std::string(400, 'w')));
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    details.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&details));
    // The window widens for the line as far as the screen allows; the rest is scrolled to.
    const QRect free = details.screen()->availableGeometry();
    EXPECT_EQ(details.frameGeometry().width(), free.width());
    EXPECT_TRUE(free.contains(details.frameGeometry()));
    const QWidget& close = Child<QWidget>(details, "btnClose");
    EXPECT_EQ(details.width() - close.mapTo(&details, QPoint(close.width(), 0)).x(), 15);
    EXPECT_GT(Child<QPlainTextEdit>(details, "MemoDetails").horizontalScrollBar()->maximum(), 0)
        << "the text pane scrolls";
    SavePicture(details, "about_details_long");
}

// Long and short descriptions, of Latin or of wide (East Asian) characters: every " : " in one column of
// cells in the pane, the clipboard and the attachment, and on the screen, and the window wide enough for
// the longest line as the pane shows it.
struct TLineUpCase {
    const char* Name;
    std::vector<std::pair<const char*, std::string>> Files; // name, description
};

class AboutDetailsLineUpTest : public AboutWindowsTest, public ::testing::WithParamInterface<TLineUpCase> {};

TEST_P(AboutDetailsLineUpTest, TheColumnsLineUpAndTheWindowShowsTheLongestLineWhole)
{
    fs::copy_file(CARLUME_TSCEMAIL_PATH, program + "libtscemail.so");
    for (const auto& [name, description] : GetParam().Files)
        Put(program + name, VersionFile("20240101", description));
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    details.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&details));
    QTest::mouseClick(&Child<TGradientButton>(details, "btnPasteClipboard"), Qt::LeftButton);
    QTest::mouseClick(&Child<TGradientButton>(details, "BtnEmail"), Qt::LeftButton);
    const QPlainTextEdit& pane = Child<QPlainTextEdit>(details, "MemoDetails");
    const std::pair<const char*, QString> texts[] = {
        {"pane", pane.toPlainText()},
        {"clipboard", QString::fromStdString(fakes.Clipboard.Text())},
        {"file", QString::fromStdString(Slurp(program + "VersionMessage.txt"))}};
    for (const auto& [where, text] : texts) {
        const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
        const auto info = lines.indexOf(QStringLiteral("           Version files info          "));
        ASSERT_GE(info, 0) << where;
        std::set<std::size_t> columns;
        for (const QString& line : lines.mid(info + 2))
            if (!line.isEmpty())
                columns.insert(Utf8Width(line.left(line.indexOf(QStringLiteral(" : "))).toStdString()));
        EXPECT_EQ(columns.size(), 1u) << where;
        EXPECT_EQ(lines.mid(info + 2).filter(QStringLiteral(" : ")).size(),
                  qsizetype(GetParam().Files.size()))
            << where;
    }
    std::set<int> onScreen;
    for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
        const auto colon = block.text().indexOf(QStringLiteral(" : "));
        if (block.text().contains(QStringLiteral(".ver) ")) && colon > 0) {
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + int(colon) + 1);
            onScreen.insert(pane.cursorRect(cursor).x());
        }
    }
    EXPECT_EQ(onScreen.size(), 1u) << "the colons stand in one column on the screen";
    EXPECT_EQ(pane.horizontalScrollBar()->maximum(), 0) << "the longest line is shown whole";
    EXPECT_GT(details.ClientWidth(), 404) << "widened for it";
    SavePicture(details, (std::string("about_details_line_up_") + GetParam().Name).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, AboutDetailsLineUpTest,
    ::testing::Values(TLineUpCase{"Latin",
                                  {{"a.ver", std::string(45, 'a')},
                                   {"b.ver", std::string(52, 'b')},
                                   {"c.ver", std::string(60, 'c')},
                                   {"d.ver", "Short"}}},
                      // Every line holds wide characters, so that none measures as it shows without them.
                      TLineUpCase{"Wide",
                                  {{"a.ver", "車両データ車両データ車両データ車両データ 😀"},
                                   {"b.ver", "ＡＢＣ料率表 한국어"},
                                   {"c.ver", "料率表の説明データ"}}}),
    test::ByName);

// A logo the box cannot show: the file name, what its bytes are, and how the decoder's message begins.
struct TBadLogo {
    const char* Name;
    const char* File;
    enum TBytes { Junk, FirstHalf, Cmyk, Whole } Bytes;
    const char* Error;
};

class AboutBoxLogoTest : public AboutWindowsTest, public ::testing::WithParamInterface<TBadLogo> {};

TEST_P(AboutBoxLogoTest, TheBoxOpensWithoutThePictureAndTheLogNamesTheFile)
{
    const TBadLogo& row = GetParam();
    const std::string good = Slurp(CARLUME_TEST_LOGO);
    const std::string bytes[] = {"not a picture", good.substr(0, good.size() / 2),
                                 Slurp(CARLUME_SETTINGS_FIXTURES "/cmyk_logo.jpg"), good};
    properties.LogoFile = program + row.File;
    Put(properties.LogoFile, bytes[row.Bytes]);
    TAboutBox box(nullptr, properties, fakes.Services());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(Child<QLabel>(box, "ImageLogo").pixmap().isNull());
    ASSERT_EQ(fakes.Logger.Lines().size(), 1u);
    EXPECT_THAT(fakes.Logger.Lines()[0], HasSubstr(properties.LogoFile));
    EXPECT_THAT(fakes.Logger.Lines()[0], HasSubstr(row.Error));
    EXPECT_TRUE(fakes.Dialogs.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Logos, AboutBoxLogoTest,
    ::testing::Values(
        TBadLogo{"Junk", "CLLogo.jpg", TBadLogo::Junk, "JPEG error: Not a JPEG file"},
        TBadLogo{"Truncated", "CLLogo.jpg", TBadLogo::FirstHalf, "Premature end of JPEG file"},
        TBadLogo{"Cmyk", "CLLogo.jpg", TBadLogo::Cmyk, "JPEG error: Unsupported color conversion"},
        TBadLogo{"UnknownKind", "CLLogo.xyz", TBadLogo::Whole, "Unknown picture file extension (.xyz)"}),
    test::ByName);

// The decoder is a module of its own. Missing or broken, the user is told its path, and the box still opens.
struct TBrokenDecoder {
    const char* Name;
    enum TFile { Absent, NotALibrary, NoEntry } File;
    const char* Message; // after the module's path
};

class AboutBoxDecoderTest : public AboutWindowsTest, public ::testing::WithParamInterface<TBrokenDecoder> {};

TEST_P(AboutBoxDecoderTest, TheMessageNamesTheModuleAndTheBoxOpensWithoutThePicture)
{
    const std::string module = program + "libcarlume_jpeg.so";
    fs::remove(module);
    if (GetParam().File == TBrokenDecoder::NotALibrary)
        Put(module, std::string(4096, 'x'));
    else if (GetParam().File == TBrokenDecoder::NoEntry)
        fs::copy_file(CARLUME_TSCEMAIL_PATH, module);
    fs::copy_file(CARLUME_TEST_LOGO, properties.LogoFile);
    TAboutBox box(nullptr, properties, fakes.Services());
    const std::string prefix =
        GetParam().File == TBrokenDecoder::NoEntry ? "" : "Unable to load the picture decoder ";
    EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre(::testing::StartsWith(prefix + module + GetParam().Message)));
    EXPECT_THAT(fakes.Logger.Lines(), ElementsAre(::testing::StartsWith("The logo " + properties.LogoFile +
                                                                        " cannot be shown: " + prefix +
                                                                        module + GetParam().Message)));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(Child<QLabel>(box, "ImageLogo").pixmap().isNull());
    QTest::mouseClick(&Child<TGradientButton>(box, "OKButton"), Qt::LeftButton);
    EXPECT_EQ(box.ModalResult(), mrOk);
}

INSTANTIATE_TEST_SUITE_P(Modules, AboutBoxDecoderTest,
                         ::testing::Values(TBrokenDecoder{"Absent", TBrokenDecoder::Absent, ": "},
                                           TBrokenDecoder{"NotALibrary", TBrokenDecoder::NotALibrary, ": "},
                                           TBrokenDecoder{
                                               "NoEntry", TBrokenDecoder::NoEntry,
                                               " is not a picture decoder module of this program"}),
                         test::ByName);

TEST_F(AboutWindowsTest, AMissingLogoLeavesThePictureEmptyAndLogsNothing)
{
    TAboutBox box(nullptr, properties, fakes.Services());
    EXPECT_TRUE(Child<QLabel>(box, "ImageLogo").pixmap().isNull());
    EXPECT_TRUE(fakes.Logger.Lines().empty());
}

TEST_F(AboutWindowsTest, DetailsListTheInstallationAndCopyAndSendIt)
{
    MakeInstallation();
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    const std::vector<std::string> expected = {
        "",
        "            Exe/Dll versions           ",
        "",
        " CQUERY          : ",
        " libtscemail.so  : " + std::string(CARLUME_PROJECT_VERSION),
        " Polimark Installation ID : 1234-5678",
        "",
        "",
        "           Version files info          ",
        "",
        " Carlume program (cquery.ver)  : 01/15/2024",
        " Engine data (data.ver)        : ",
        " Rate tables (data.ver)        : 12/01/2023",
    };
    EXPECT_EQ(details.Lines(), expected);
    SavePicture(details, "about_details");

    QTest::mouseClick(&Child<TGradientButton>(details, "btnPasteClipboard"), Qt::LeftButton);
    const std::string copied = fakes.Clipboard.Text();
    EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), long(expected.size()));

    QTest::mouseClick(&Child<TGradientButton>(details, "BtnEmail"), Qt::LeftButton);
    std::string joined;
    for (const auto& line : expected)
        joined += line + "\r\n";
    EXPECT_EQ(Slurp(program + "VersionMessage.txt"), joined);
    std::vector<fs::path> messages;
    for (const auto& entry : fs::directory_iterator(folder / "outbox"))
        if (entry.path().extension() == ".eml")
            messages.push_back(entry.path());
    ASSERT_EQ(messages.size(), 1u);
    const std::string eml = Slurp(messages[0]);
    EXPECT_THAT(eml, HasSubstr("\r\nSubject: Polimark User: Polimark Version Info\r\n"));
    EXPECT_THAT(eml, HasSubstr("filename=\"VersionMessage.txt\""));
    EXPECT_TRUE(fakes.Dialogs.Requests().empty());

    // A plug-in that answers False: the user is told the e-mail was not sent.
    {
        Put(folder / "blocked", "a file where the outbox should be");
        test::ScopedEnv blocked("CARLUME_OUTBOX", (folder / "blocked").c_str());
        QTest::mouseClick(&Child<TGradientButton>(details, "BtnEmail"), Qt::LeftButton);
        EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtError), ElementsAre(HasSubstr("not sent")));
        fakes.Dialogs.Clear();
    }

    // Without the plug-in the error is shown, the attachment is written, and the cursor comes back.
    fs::remove(program + "libtscemail.so");
    fs::remove(program + "VersionMessage.txt");
    QTest::mouseClick(&Child<TGradientButton>(details, "BtnEmail"), Qt::LeftButton);
    EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre("Attempt to access TSC Send Email library when plugin not available"));
    EXPECT_TRUE(fs::exists(program + "VersionMessage.txt"));
    EXPECT_NE(details.cursor().shape(), Qt::WaitCursor);
}

// Enlarged in either view, the upper part takes the room and the bottom strip stays at the bottom with its
// buttons in place.
class AboutDetailsResizeTest : public AboutWindowsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(AboutDetailsResizeTest, TheUpperPartGrowsAndTheButtonsKeepTheirPlaces)
{
    MakeInstallation();
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    details.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&details));
    const bool cleanup = std::string(GetParam()) == "Cleanup";
    if (cleanup)
        QTest::mouseClick(Child<QPlainTextEdit>(details, "MemoDetails").viewport(), Qt::RightButton,
                          Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const QSize laidOut = details.size();
    const QSize larger = laidOut + QSize(120, 150);
    details.windowHandle()->resize(larger);
    ASSERT_TRUE(QTest::qWaitFor([&] { return details.size() == larger; }));

    QWidget& upper = Child<QWidget>(details, cleanup ? "PnlCleanupVersionFile" : "MemoDetails");
    QWidget& bottom = Child<QWidget>(details, "PnlBottom");
    EXPECT_TRUE(upper.isVisible());
    EXPECT_EQ(upper.mapTo(&details, QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(upper.size(), QSize(larger.width(), larger.height() - (laidOut.height() - 240)));
    EXPECT_EQ(bottom.geometry(), QRect(0, larger.height() - 41, larger.width(), 41));
    const auto place = [&](const char* name) { return Child<QWidget>(details, name).geometry(); };
    EXPECT_EQ(place(cleanup ? "BtnCleanup" : "btnPasteClipboard").topLeft(),
              cleanup ? QPoint(1, 8) : QPoint(1, 9));
    EXPECT_EQ(larger.width() - place("btnClose").x(), 404 - 321);
    EXPECT_EQ(larger.width() - place("BtnEmail").x(), 404 - 240);
    if (cleanup) {
        // The list keeps its margins to the panel's edges; the heading stays above it, the hint below.
        const QSize grown = larger - laidOut;
        EXPECT_EQ(place("LbxCleanupVersions_Show"), QRect(96, 32, 233 + grown.width(), 161 + grown.height()));
        EXPECT_EQ(place("LblCleanupTitle"), QRect(96, 8, 233 + grown.width(), 18));
        EXPECT_EQ(place("LblCleanupHint"), QRect(96, 198 + grown.height(), 233 + grown.width(), 34));
        EXPECT_LE(place("LblCleanupHint").bottom(), upper.height());
    }
    SavePicture(details, cleanup ? "about_details_enlarged_cleanup" : "about_details_enlarged");
}

INSTANTIATE_TEST_SUITE_P(Views, AboutDetailsResizeTest, ::testing::Values("Details", "Cleanup"),
                         [](const auto& row) { return std::string(row.param); });

TEST_F(AboutWindowsTest, TheHiddenCleanupViewClearsABuildDate)
{
    MakeInstallation();
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    details.show();
    QWidget* pane = Child<QPlainTextEdit>(details, "MemoDetails").viewport();
    QTest::mouseClick(pane, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_FALSE(details.CleanupShown());
    const auto gesture = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    QTest::mouseClick(pane, Qt::RightButton, gesture);
    ASSERT_TRUE(details.CleanupShown());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), pane->mapToGlobal(QPoint(5, 5)), gesture);
    EXPECT_TRUE(QApplication::sendEvent(pane, &menu) && menu.isAccepted()) << "the pane's menu came up too";
    EXPECT_TRUE(Child<TGradientButton>(details, "BtnEmail").isHidden());

    QListWidget& list = Child<QListWidget>(details, "LbxCleanupVersions_Show");
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines << list.item(i)->text();
    EXPECT_EQ(lines,
              QStringList({QStringLiteral(" cquery.ver  - 01/15/2024"), QStringLiteral(" data.ver    - "),
                           QStringLiteral(" data.ver    - 12/01/2023"),
                           QStringLiteral(" my-file.ver - 02/02/2020"), QStringLiteral(" P5_USER.ver - ")}));
    TGradientButton& cleanup = Child<TGradientButton>(details, "BtnCleanup");
    QTest::mouseClick(&cleanup, Qt::LeftButton);
    EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtCustom),
                ElementsAre("Please select file you want to cleanup"));

    list.item(3)->setSelected(true);
    fakes.Dialogs.QueueYesNo(false);
    QTest::mouseClick(&cleanup, Qt::LeftButton);
    EXPECT_EQ(list.item(3)->text(), QStringLiteral(" my-file.ver - 02/02/2020"));
    fakes.Dialogs.QueueYesNo(true);
    QTest::mouseClick(&cleanup, Qt::LeftButton);
    EXPECT_EQ(fakes.Dialogs.Requests().back().Text, "Are you sure you want to cleanup my-file.ver file?");
    EXPECT_EQ(list.item(3)->text(), QStringLiteral(" my-file.ver -"));
    EXPECT_EQ(Slurp(program + "my-file.ver"), "[General]\r\nBuildDate=\r\nDescription=  \r\nOther=kept\r\n");

    // A file gone since the list was built: said so, and the line stays.
    list.item(3)->setSelected(false);
    list.item(0)->setSelected(true);
    fs::remove(program + "cquery.ver");
    fakes.Dialogs.QueueYesNo(true);
    QTest::mouseClick(&cleanup, Qt::LeftButton);
    EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtError).back(),
                HasSubstr("cquery.ver no longer exists"));
    EXPECT_EQ(list.item(0)->text(), QStringLiteral(" cquery.ver  - 01/15/2024"));
}

// A version file too large to read keeps neither the window nor the other files away: it is named in its
// place in the pane (and so in the copy and the message) and in the cleanup list, whose cleanup of it says
// why it cannot be done.
TEST_F(AboutWindowsTest, AVersionFileTooLargeToReadIsNamedInItsPlace)
{
    MakeInstallation();
    const std::string huge = program + "huge.ver";
    Put(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), off_t(kIniFileSizeLimit)), 0);
    TFmAboutDetails details(nullptr, properties, fakes.Services());
    details.show();
    const std::vector<std::string> versionPart(details.Lines().end() - 4, details.Lines().end());
    EXPECT_EQ(versionPart, (std::vector<std::string>{
                               " Carlume program (cquery.ver)  : 01/15/2024",
                               " Engine data (data.ver)        : ",
                               " huge.ver could not be read: The file is too large to read",
                               " Rate tables (data.ver)        : 12/01/2023",
                           }));

    QTest::mouseClick(Child<QPlainTextEdit>(details, "MemoDetails").viewport(), Qt::RightButton,
                      Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(details.CleanupShown());
    QListWidget& list = Child<QListWidget>(details, "LbxCleanupVersions_Show");
    ASSERT_EQ(list.count(), 6);
    EXPECT_EQ(list.item(3)->text(), QStringLiteral(" huge.ver    - could not be read"));
    list.item(3)->setSelected(true);
    fakes.Dialogs.QueueYesNo(true);
    QTest::mouseClick(&Child<TGradientButton>(details, "BtnCleanup"), Qt::LeftButton);
    EXPECT_THAT(fakes.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre("Cannot open file \"" + huge + "\". The file is too large to read"));
    EXPECT_EQ(list.item(3)->text(), QStringLiteral(" huge.ver    - could not be read"));
    EXPECT_EQ(fs::file_size(huge), kIniFileSizeLimit);
}

} // namespace
} // namespace carlume
