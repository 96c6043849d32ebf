// Help, About from the lookup window: the About box over the window, the details window over the box.

#include "lookup/ui/lookup_window.h"
#include "settings/about_box.h"
#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>

#include <gmock/gmock.h>

#include <filesystem>

namespace carlume::test {
namespace {

TEST_F(LookupWindowTest, HelpAboutShowsTheAboutBoxAndItsDetailsOverTheWindow)
{
    std::filesystem::copy_file(CARLUME_TEST_LOGO, program_ / "CLLogo.jpg");
    record_.Clear();
    Open(false);
    TModalDriver driver;
    driver.Then([](TModalWindow& window) { window.Find<QAction>(QStringLiteral("mnuAbout")).trigger(); });
    driver.ThenOn<TAboutBox>([this](TAboutBox& box, TModalWindow& window) {
        EXPECT_EQ(window.Title(), QStringLiteral("About"));
        EXPECT_EQ(box.parentWidget(), window_.get());
        EXPECT_EQ(window.Find<QLabel>(QStringLiteral("lblProductTitle")).text(),
                  QStringLiteral("Polimark Carlume"));
        EXPECT_FALSE(window.Find<QLabel>(QStringLiteral("ImageLogo")).pixmap().isNull());
        box.BtnShowDetailsClick();
    });
    driver.ThenOn<TFmAboutDetails>([](TFmAboutDetails& details, TModalWindow&) {
        EXPECT_THAT(details.Lines(), ::testing::Contains("            Exe/Dll versions           "));
        EXPECT_NE(details.parentWidget(), nullptr);
        details.Close();
    });
    driver.ThenAgain([](TModalWindow& box) { box.Click(QStringLiteral("OKButton")); });
    driver.ThenAgain([](TModalWindow& window) { window.Click(QStringLiteral("btnClose")); });
    window_->ShowModal();
    EXPECT_THAT(Messages(), ::testing::IsEmpty());
}

} // namespace
} // namespace carlume::test
