// The lookup window's menu commands and the buttons beside its result: printing, the printout font size,
// the web update, About, the help on the original-symbol box, and File, Close. Desktop effects are read
// from the fake services, printed reports from PDF files.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include "foundation/window_helpers.h"
#include "lookup/printer_report_canvas.h"
#include "platform/files.h"
#include "platform/gui/qt_services.h"
#include "tests/lookup/program_paths.h"
#include "tests/support/test_output.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <filesystem>
#include <optional>
#include <ostream>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// Renders page 1 of a PDF as "<prefix>-1.png" next to it.
QImage RenderFirstPage(const std::filesystem::path& file, const std::string& prefix)
{
    const std::filesystem::path folder = file.parent_path();
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"),
                   QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                   QString::fromStdString(file.string()),
                   QString::fromStdString((folder / prefix).string())});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(QString::fromStdString((folder / (prefix + "-1.png")).string()));
}

class LookupWindowCommandsTest : public LookupWindowTest {
protected:
    std::string SettingsIni() const { return program_ / "settings.ini"; }
    std::string CqueryIni() const { return windows_ / "cquery.ini"; }
    /// The bytes of a file, or nothing when there is none.
    static std::optional<std::string> Bytes(const std::string& file)
    {
        if (!FileExists(file))
            return std::nullopt;
        return ReadAll(file);
    }
    /// Neither settings file was written.
    void ExpectNoSettingsWritten() const
    {
        EXPECT_FALSE(FileExists(SettingsIni()));
        EXPECT_FALSE(FileExists(CqueryIni()));
    }
    QAction& Action(const char* name) const
    {
        auto* action = window_->findChild<QAction*>(QString::fromLatin1(name));
        if (action == nullptr)
            throw std::runtime_error(std::string("no action ") + name);
        return *action;
    }
    void Click(const char* button) const
    {
        auto& control = Control<QPushButton>(button);
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
    }
    /// Opens the window started by hand, shows it and finds the Quillon by its VIN.
    void OpenWithQuillon(IPrinterService* printer = nullptr)
    {
        record_.Clear();
        Open(false, nullptr, printer);
        Show();
        Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
        window_->btnSearchByVINClick();
        ASSERT_TRUE(window_->ResultShown());
    }
};

// --- printing ---------------------------------------------------------------------------------------------

struct PrintCase {
    std::string Name;
    std::string Settings; // settings.ini before the window opens; "" for none
    bool ShowAll;
    bool ByMenu;
    int ReportSize; // the body size the report is expected at
    int Pages;      // on Letter at 300 dpi
};

class LookupWindowPrintTest : public LookupWindowCommandsTest,
                              public ::testing::WithParamInterface<PrintCase> {};

TEST_P(LookupWindowPrintTest, PrintsTheShownVehicleAtTheFontSizeOnThePrinterChosen)
{
    const PrintCase& c = GetParam();
    if (!c.Settings.empty())
        WriteAll(SettingsIni(), c.Settings);
    TPdfPrinterService printer(TestOutputFolder() / "window.pdf");
    OpenWithQuillon(&printer);
    Control<QCheckBox>("chkShowAllDetail").setChecked(c.ShowAll);
    printer.QueueDialogAnswer(true);
    if (c.ByMenu)
        Action("mnuPrint").trigger();
    else
        Click("btnPrint");
    EXPECT_EQ(printer.DialogCount(), 1);
    EXPECT_THAT(Messages(), IsEmpty());

    // The same report printed straight from the record at the size expected.
    TPdfPrinterService reference(TestOutputFolder() / "reference.pdf");
    PrintVehicleDetailReport(record_, c.ShowAll, c.ReportSize, reference.Printer());
    EXPECT_EQ(PdfPageCount(reference.File()), c.Pages);
    EXPECT_EQ(PdfPageCount(printer.File()), c.Pages);
    EXPECT_EQ(PdfText(printer.File()), PdfText(reference.File()));
    const std::vector<TPdfWord> words = PdfWords(printer.File());
    const std::vector<TPdfWord> expected = PdfWords(reference.File());
    ASSERT_EQ(words.size(), expected.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].Text, expected[i].Text);
        EXPECT_EQ(words[i].Page, expected[i].Page) << words[i].Text;
        EXPECT_NEAR(words[i].YMin, expected[i].YMin, 0.01) << words[i].Text;
        EXPECT_NEAR(words[i].YMax, expected[i].YMax, 0.01) << words[i].Text;
    }

    const std::string text = PdfText(printer.File());
    EXPECT_THAT(text, HasSubstr("Vehicle Detail Report for 2010 Arvelo Quillon"));
    EXPECT_THAT(text, HasSubstr("Model Year:"));
    if (c.ShowAll)
        EXPECT_THAT(text, HasSubstr("Other Info:"));
    else
        EXPECT_THAT(text, Not(HasSubstr("Other Info:")));
    const QImage page = RenderFirstPage(printer.File(), "window");
    EXPECT_FALSE(page.isNull()) << "a picture of page 1 to look at";
    EXPECT_EQ(Bytes(SettingsIni()), c.Settings.empty() ? std::nullopt : std::optional(c.Settings));
    EXPECT_FALSE(FileExists(CqueryIni()));
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupWindowPrintTest,
                         ::testing::Values(PrintCase{"ButtonDefaultSize", "", false, false, 10, 2},
                                           PrintCase{"MenuShowAllAt14",
                                                     "[Settings]\r\nPrintoutFontSize=14\r\n", true, true, 14,
                                                     2}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowCommandsTest, ACancelledPrintDialogPrintsNothing)
{
    OpenWithQuillon();
    printer_->QueueDialogAnswer(false);
    Click("btnPrint");
    printer_->QueueDialogAnswer(false);
    Action("mnuPrint").trigger();
    EXPECT_EQ(printer_->DialogCount(), 2);
    EXPECT_FALSE(FileExists((program_ / "report.pdf")));
    EXPECT_THAT(Messages(), IsEmpty());
    ExpectNoSettingsWritten();
}

TEST_F(LookupWindowCommandsTest, WithoutAResultThereIsNothingToPrint)
{
    OpenShown(false);
    EXPECT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
    Click("btnPrint");
    Action("mnuPrint").trigger();
    EXPECT_EQ(printer_->DialogCount(), 0);

    Control<QLineEdit>("txtVIN").setText(QStringLiteral("9ZZZZ99Z9Z"));
    window_->btnSearchByVINClick();
    ASSERT_FALSE(window_->ResultShown());
    Action("mnuPrint").trigger();
    EXPECT_EQ(printer_->DialogCount(), 0) << "a search that found nothing";
}

TEST_F(LookupWindowCommandsTest, AFailedPrintIsShownAndTheWindowCarriesOn)
{
    TPdfPrinterService broken(std::filesystem::path(program_ / "no such folder") / "report.pdf");
    OpenWithQuillon(&broken);
    broken.QueueDialogAnswer(true);
    Click("btnPrint");
    const std::vector<std::string> errors = fakes_.Dialogs.Messages(TMsgDlgType::mtError);
    ASSERT_THAT(errors, ElementsAre(HasSubstr("Printing could not start")));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->ResultShown());
    EXPECT_FALSE(broken.Printer().Printing()) << "no job left open";
    ExpectNoSettingsWritten();
}

// --- printout font size -----------------------------------------------------------------------------------

struct FontSizeCommandCase {
    std::string Name;
    std::string Before;                // settings.ini before the window opens; "" for none
    std::optional<std::string> Answer; // nothing: the input box is cancelled
    std::string Message;               // "" for none
    int Size;
    std::string After; // settings.ini afterwards; "" for none
};

class LookupWindowFontSizeCommandTest : public LookupWindowCommandsTest,
                                        public ::testing::WithParamInterface<FontSizeCommandCase> {};

TEST_P(LookupWindowFontSizeCommandTest, TheInputBoxTakesSizesFrom8To14AndStoresThem)
{
    const FontSizeCommandCase& c = GetParam();
    if (!c.Before.empty())
        WriteAll(SettingsIni(), c.Before);
    OpenShown(false);
    const int before = window_->PrintFontSize();
    if (c.Answer)
        fakes_.Dialogs.QueueInput(*c.Answer);
    else
        fakes_.Dialogs.QueueInputCancel();
    Action("PrintoutFontSize1").trigger();

    const std::vector<TDialogRequest>& requests = fakes_.Dialogs.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Kind, TDialogRequest::TKind::Input);
    EXPECT_EQ(requests[0].Caption, "Printout Font Size");
    EXPECT_EQ(requests[0].Text, "Provide a new printout font size below (8-14)");
    EXPECT_EQ(requests[0].Default, std::to_string(before));
    if (c.Message.empty())
        EXPECT_EQ(requests.size(), 1U);
    else
        EXPECT_THAT(fakes_.Dialogs.Messages(TMsgDlgType::mtInformation), ElementsAre(c.Message));
    EXPECT_EQ(window_->PrintFontSize(), c.Size);
    EXPECT_EQ(Bytes(SettingsIni()), c.After.empty() ? std::nullopt : std::optional(c.After));
    EXPECT_FALSE(FileExists(CqueryIni()));
}

const char kNumeric[] = "The value must be numeric";
const char kRange[] = "The value must be between 8 and 14";

INSTANTIATE_TEST_SUITE_P(
    Answers, LookupWindowFontSizeCommandTest,
    ::testing::Values(FontSizeCommandCase{"Eight", "", "8", "", 8, "[Settings]\r\nPrintoutFontSize=8\r\n"},
                      FontSizeCommandCase{"Letters", "", "abc", kNumeric, 10, ""},
                      FontSizeCommandCase{"CancelStoresTheSize", "", std::nullopt, "", 10,
                                          "[Settings]\r\nPrintoutFontSize=10\r\n"},
                      FontSizeCommandCase{"RefusedKeepsTheFile",
                                          "; mine\r\n[Settings]\r\nPrintoutFontSize=12\r\n", "99", kRange, 12,
                                          "; mine\r\n[Settings]\r\nPrintoutFontSize=12\r\n"}),
    [](const auto& param) { return param.param.Name; });

// --- web update -------------------------------------------------------------------------------------------

struct WebUpdateCase {
    std::string Name;
    bool StartedWithParams;
    bool Result;
};

class LookupWindowWebUpdateTest : public LookupWindowCommandsTest,
                                  public ::testing::WithParamInterface<WebUpdateCase> {};

TEST_P(LookupWindowWebUpdateTest, YesOpensTheUpdatePageAndEndsWithoutAResult)
{
    const WebUpdateCase& c = GetParam();
    record_.Clear();
    Open(c.StartedWithParams);
    fakes_.Dialogs.QueueYesNo(true);
    TModalDriver driver;
    driver.Then([&](TModalWindow& window) {
        if (c.Result) {
            window.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(0);
            window.Type(QStringLiteral("txtVIN"), QStringLiteral("1AVQL14S1A"));
            window.Click(QStringLiteral("btnSearchByVIN"));
            ASSERT_TRUE(window.As<TfrmCarquery>().ResultShown());
        }
        window.Find<QAction>(QStringLiteral("mnuWebUpdate")).trigger();
    });
    EXPECT_EQ(window_->ShowModal(), mrCancel);
    EXPECT_THAT(Messages(), ElementsAre(std::string(WebUpdateQuestion)));
    ASSERT_EQ(fakes_.Shell.Requests().size(), 1U);
    const TShellRequest& request = fakes_.Shell.Requests()[0];
    EXPECT_EQ(request.File, "https://www.tamselsoftware.example/carlume/update");
    EXPECT_EQ(request.Parameters, "");
    EXPECT_EQ(request.Folder, "");
    EXPECT_EQ(request.ShowCommand, 1);
    ExpectNoSettingsWritten();
}

INSTANTIATE_TEST_SUITE_P(Starts, LookupWindowWebUpdateTest,
                         ::testing::Values(WebUpdateCase{"WithParamsAndAResult", true, true},
                                           WebUpdateCase{"ByHandWithoutAResult", false, false}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowCommandsTest, NoToTheWebUpdateChangesNothing)
{
    OpenWithQuillon();
    fakes_.Dialogs.QueueYesNo(false);
    Action("mnuWebUpdate").trigger();
    QApplication::processEvents();
    EXPECT_THAT(Messages(), ElementsAre(std::string(WebUpdateQuestion)));
    EXPECT_THAT(fakes_.Shell.Requests(), IsEmpty());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->ModalResult(), mrNone);
    EXPECT_TRUE(window_->ResultShown());
    ExpectNoSettingsWritten();
}

// --- About ------------------------------------------------------------------------------------------------

TFormatSettings DayFirst()
{
    TFormatSettings settings = USFormatSettings();
    settings.ShortDateFormat = "dd.MM.yyyy";
    settings.DateSeparator = '.';
    return settings;
}

class LookupWindowAboutTest : public LookupWindowCommandsTest {
protected:
    void SetUp() override
    {
        LookupWindowCommandsTest::SetUp();
        showAboutBox_ = [this](const TAboutBoxProperties& properties, const TApplicationServices& services) {
            ++calls_;
            seen_.emplace(properties);
            servicesPassed_ = services.Dialogs == &fakes_.Dialogs && services.Shell == &fakes_.Shell &&
                              services.Clipboard == &fakes_.Clipboard;
        };
    }

    int calls_ = 0;
    // A copy of what the About box was handed, taken while it was open.
    std::optional<TAboutBoxProperties> seen_;
    bool servicesPassed_ = false;
};

TEST_F(LookupWindowAboutTest, TheAboutBoxGetsThisProgramsFactsAndTheVendorsNotice)
{
    const ScopedFormatSettings format(DayFirst()); // nothing depends on the date order
    // A program file with a version note, so that the run has a version to show.
    std::filesystem::copy_file(kCqueryPath, program_ / "cquery");
    const std::string version = GetFileVersionString(kCqueryPath, vkFileVersion);
    ASSERT_FALSE(version.empty());
    OpenShown(false);
    Action("mnuAbout").trigger();

    ASSERT_EQ(calls_, 1);
    const std::string appPath = program_.Path() + "/";
    EXPECT_EQ(seen_->ProductTitle, "Polimark Carlume");
    EXPECT_EQ(seen_->LogoFile, appPath + "CLLogo.jpg");
    EXPECT_EQ(seen_->Version, version);
    EXPECT_EQ(seen_->InstallLocation, appPath);
    EXPECT_EQ(seen_->AnniversaryDate, EncodeDate(2026, 12, 31)) << "the last day of the clock's year";
    EXPECT_EQ(seen_->UserName, "Polimark User");
    EXPECT_TRUE(servicesPassed_);
    // The vendor's notice: one paragraph holding each of its points.
    EXPECT_EQ(seen_->CopyrightText.find_first_of("\r\n"), std::string::npos);
    for (const char* words : {"proprietary", "participating insurers", "agents", "jurisdictions",
                              "lines of insurance", "licensed", "accuracy", "timeliness", "not liable"})
        EXPECT_THAT(seen_->CopyrightText, HasSubstr(words));
    EXPECT_EQ(seen_->EndYear, "2026");
    EXPECT_EQ(seen_->BuildNumber, "");
    EXPECT_EQ(seen_->MaintenanceFolder, "");
    EXPECT_EQ(seen_->AutoAnniversaryDate, kTodayDate);
    EXPECT_THAT(Messages(), IsEmpty());
    ExpectNoSettingsWritten();
}

// --- the "?" button ---------------------------------------------------------------------------------------

TEST_F(LookupWindowCommandsTest, TheQuestionMarkExplainsTheOriginalSymbolBox)
{
    OpenShown(true);
    Click("Button1");
    const std::vector<TDialogRequest>& requests = fakes_.Dialogs.Requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(requests[0].Text,
              "MA Auto rules require the use of the original symbol under certain circumstances.  You will "
              "want to check the box on the screen if one of the following are true:\r\r- The policy year is "
              "BEFORE 2006\r- The vehicle model year is 2006 or newer AND the policy year is 2006 or "
              "newer\r\rUnder no circumstances should you check the box if the vehicle is older than 2006");
    EXPECT_TRUE(window_->isVisible());
    ExpectNoSettingsWritten();
}

// --- File, Close ------------------------------------------------------------------------------------------

struct MenuCloseCase {
    std::string Name;
    bool StartedWithParams;
    bool Result;
    std::optional<bool> Answer; // the answer to the cancel question, when one is asked
    bool OrigSymbol;
    TModalResult Expected;
    std::string Ini; // cquery.ini afterwards; "" for none
};

class LookupWindowMenuCloseTest : public LookupWindowCommandsTest,
                                  public ::testing::WithParamInterface<std::tuple<MenuCloseCase, bool>> {};

TEST_P(LookupWindowMenuCloseTest, FileCloseDoesWhatTheCloseButtonDoes)
{
    const auto& [c, byMenu] = GetParam();
    record_.Clear();
    record_.VIN = "9ZZZZ99Z9Z"; // opens on the VIN tab
    Open(c.StartedWithParams);
    Control<QCheckBox>("chkOrigSym").setChecked(c.OrigSymbol);
    if (c.Answer)
        fakes_.Dialogs.QueueYesNo(*c.Answer);
    QWidget* focused = nullptr;
    bool stayed = false;
    TModalDriver driver;
    driver.Then([&, &c = c, byMenu = byMenu](TModalWindow& window) {
        if (c.Result) {
            window.Type(QStringLiteral("txtVIN"), QStringLiteral("1AVQL14S1A"));
            window.Click(QStringLiteral("btnSearchByVIN"));
            ASSERT_TRUE(window.As<TfrmCarquery>().ResultShown());
        }
        // The window opened on the VIN tab; the user has since moved to the other one.
        window.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(1);
        if (byMenu)
            window.Find<QAction>(QStringLiteral("mnuClose")).trigger();
        else
            window.Click(QStringLiteral("btnClose"));
        QApplication::processEvents();
        stayed = window.Widget().isVisible();
        if (stayed) {
            focused = QApplication::focusWidget();
            window.Click(QStringLiteral("btnCancel"));
        }
    });
    EXPECT_EQ(window_->ShowModal(), c.Expected);
    if (c.Answer)
        EXPECT_THAT(Messages(), ElementsAre(std::string(CancelLookupQuestion)));
    else
        EXPECT_THAT(Messages(), IsEmpty());
    const bool keptOpen = c.Answer.has_value() && !*c.Answer;
    EXPECT_EQ(stayed, keptOpen);
    if (keptOpen) {
        EXPECT_EQ(focused, &Control<QComboBox>("lstYear")) << "the first field of the tab shown";
    }
    EXPECT_EQ(Bytes(CqueryIni()), c.Ini.empty() ? std::nullopt : std::optional(c.Ini));
    EXPECT_FALSE(FileExists(SettingsIni()));
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, LookupWindowMenuCloseTest,
    ::testing::Combine(
        ::testing::Values(MenuCloseCase{"ParamsResult", true, true, std::nullopt, false, mrOk, ""},
                          MenuCloseCase{"ParamsNoResultYes", true, false, true, false, mrCancel, ""},
                          MenuCloseCase{"ParamsNoResultNo", true, false, false, false, mrCancel, ""},
                          MenuCloseCase{"ByHandResult", false, true, std::nullopt, true, mrOk,
                                        "[Settings]\r\nUseOrigSymbol=1\r\n"},
                          MenuCloseCase{"ByHandNoResult", false, false, std::nullopt, false, mrCancel,
                                        "[Settings]\r\nUseOrigSymbol=0\r\n"}),
        ::testing::Bool()),
    [](const auto& param) {
        return std::get<0>(param.param).Name + (std::get<1>(param.param) ? "_Menu" : "_Button");
    });

} // namespace
} // namespace carlume::test
