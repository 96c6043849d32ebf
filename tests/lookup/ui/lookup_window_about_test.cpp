// Help, About from the lookup window: the About box over the window, the details window over the box.

#include "lookup/ui/lookup_window.h"
#include "settings/about_box.h"
#include "tests/lookup/program_paths.h"
#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace carlume::test {
namespace {

// Whether the process has a file mapped whose path holds `part`.
bool Mapped(const std::string& part)
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find(part) != std::string::npos)
            return true;
    }
    return false;
}

TEST_F(LookupWindowTest, HelpAboutShowsTheAboutBoxAndItsDetailsOverTheWindow)
{
    std::filesystem::copy_file(CARLUME_TEST_LOGO, program_ / "CLLogo.jpg");
    std::filesystem::copy_file(kJpegModulePath, program_ / "libcarlume_jpeg.so");
    record_.Clear();
    Open(false);
    TModalDriver driver;
    // The window needs neither the XML storage nor the logo decoder; the About box only the decoder.
    driver.Then([](TModalWindow& window) {
        EXPECT_FALSE(Mapped("libcarlume_jpeg.so"));
        EXPECT_FALSE(Mapped("libcarlume_xml.so"));
        window.Find<QAction>(QStringLiteral("mnuAbout")).trigger();
    });
    driver.ThenOn<TAboutBox>([this](TAboutBox& box, TModalWindow& window) {
        EXPECT_TRUE(Mapped(program_ / "libcarlume_jpeg.so"));
        EXPECT_TRUE(Mapped("libjpeg"));
        EXPECT_EQ(window.Title(), QStringLiteral("About"));
        EXPECT_EQ(box.parentWidget(), window_.get());
        EXPECT_EQ(window.Find<QLabel>(QStringLiteral("lblProductTitle")).text(),
                  QStringLiteral("Polimark Carlume"));
        EXPECT_FALSE(window.Find<QLabel>(QStringLiteral("ImageLogo")).pixmap().isNull());
        box.BtnShowDetailsClick();
    });
    driver.ThenOn<TFmAboutDetails>([](TFmAboutDetails& details, TModalWindow&) {
        EXPECT_FALSE(Mapped("libcarlume_xml.so"));
        EXPECT_FALSE(Mapped("xerces"));
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
