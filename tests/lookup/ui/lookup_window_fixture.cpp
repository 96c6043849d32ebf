#include "tests/lookup/ui/lookup_window_fixture.h"

#include "platform/library.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace carlume::test {

namespace {

const char* const kEngineEnvironment[] = {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW,
                                          CHASSIX_FAKE_ENV_MIN_VIN, CHASSIX_FAKE_ENV_EARLIEST_YEAR};

template <class F> F EngineControl(const char* name)
{
    F control = GetProcAddressAs<F>(ChassixLibHandle(), name);
    if (control == nullptr)
        throw std::runtime_error(std::string("the engine is not loaded, or has no ") + name);
    return control;
}

} // namespace

LookupWindowTest::LookupWindowTest() = default;
LookupWindowTest::~LookupWindowTest() = default;

void LookupWindowTest::SetUp()
{
    for (const char* name : kEngineEnvironment)
        unsetenv(name);
    std::filesystem::copy_file(kChassixLibraryPath, program_ / "libchassix.so");
    appInfo_ = std::make_unique<TAppInfo>(fakes_.Services());
    printer_ = std::make_unique<TPdfPrinterService>(program_ / "report.pdf");
}

void LookupWindowTest::TearDown()
{
    CloseAll();
    EXPECT_EQ(ChassixLibHandle(), nullptr) << "the engine outlived the test";
}

TfrmCarquery& LookupWindowTest::Open(bool startedWithParams, IChassixCalls* engine, IPrinterService* printer)
{
    lookup_ = std::make_unique<TVehicleInfoLookup>(*appInfo_, startedWithParams, &fakes_.Dialogs);
    IChassixCalls& calls = engine != nullptr ? *engine : lookup_->Engine();
    const TVinSearchContext context{TLookupContext{calls, choosers_}, fakes_.Services()};
    window_ = std::make_unique<TfrmCarquery>(nullptr, record_, startedWithParams, *lookup_, context,
                                             printer != nullptr ? *printer : *printer_, showAboutBox_);
    return *window_;
}

void LookupWindowTest::Show()
{
    window_->show();
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QApplication::processEvents();
}

void LookupWindowTest::CloseAll()
{
    window_.reset();
    lookup_.reset();
}

std::vector<std::string> LookupWindowTest::Journal() const
{
    char* text = EngineControl<PFN_ChassixFakeJournalText>("ChassixFakeJournalText")();
    std::vector<std::string> lines;
    std::istringstream stream(text != nullptr ? text : "");
    std::free(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> LookupWindowTest::Calls(const std::string& prefix) const
{
    std::vector<std::string> calls;
    for (const std::string& line : Journal()) {
        if (line.starts_with(prefix))
            calls.push_back(line);
    }
    return calls;
}

void LookupWindowTest::ResetJournal() const
{
    EngineControl<PFN_ChassixFakeReset>("ChassixFakeReset")();
}

int LookupWindowTest::LiveEntries() const
{
    return EngineControl<PFN_ChassixFakeLiveEntries>("ChassixFakeLiveEntries")();
}

void LookupWindowTest::ThrowIn(const std::string& entries) const
{
    ASSERT_EQ(EngineControl<PFN_ChassixFakeConfigure>("ChassixFakeConfigure")("throw", entries.c_str()), 1);
}

void LookupWindowTest::Pick(const char* list, const QString& text) const
{
    auto& combo = Control<QComboBox>(list);
    const int index = combo.findText(text, Qt::MatchExactly);
    ASSERT_GE(index, 0) << "no entry " << text.toStdString() << " in " << list;
    combo.setCurrentIndex(index);
    // What the user's choice sends; code setting the index sends nothing.
    Q_EMIT combo.activated(index);
}

QStringList LookupWindowTest::Entries(const char* list) const
{
    const auto& combo = Control<QComboBox>(list);
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    return entries;
}

QString LookupWindowTest::Selected(const char* list) const
{
    const auto& combo = Control<QComboBox>(list);
    return combo.currentIndex() >= 0 ? combo.currentText() : QString();
}

QString LookupWindowTest::Criteria() const
{
    return Control<QLabel>("pnlCriteria").text();
}

std::vector<std::string> LookupWindowTest::ResultRows() const
{
    std::vector<std::string> rows;
    for (int row = 0; row < window_->ResultRowCount(); ++row)
        rows.push_back(window_->ResultCell(0, row) + "|" + window_->ResultCell(1, row));
    return rows;
}

std::vector<std::string> LookupWindowTest::Messages() const
{
    std::vector<std::string> texts;
    for (const TDialogRequest& request : fakes_.Dialogs.Requests())
        texts.push_back(request.Text);
    return texts;
}

} // namespace carlume::test
