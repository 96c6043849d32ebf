// The harness's own picture checks, and the pictures a failed check leaves behind.

#include "tests/support/image_check.h"
#include "tests/support/test_output.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace carlume::test {
namespace {

TEST(ImageCheck, ProbesBoundsAndThePicturesOfAFailure)
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(2, 1, qRgb(0, 0, 128));
    image.setPixel(4, 2, qRgb(0, 0, 128));
    EXPECT_EQ(PixelAt(image, 6, 0), clNone);
    EXPECT_EQ(InkBounds(image, image.rect(), clWhite), QRect(2, 1, 3, 2));
    EXPECT_TRUE(InkBounds(image, QRect(0, 3, 6, 1), clWhite).isEmpty());
    EXPECT_EQ(CountPixels(image, image.rect(), clNavy), 2);
    EXPECT_TRUE(PixelsAre(image, {{2, 1, clNavy, "ink"}, {0, 0, clWhite, "paper"}}, "sample"));
    EXPECT_EQ(ColorText(clBtnFace), "$D4D0C8");

    const auto folder = TestOutputFolder();
    for (const char* stale : {"probe.actual.png", "probe.diff.png", "compare.expected.png"})
        std::filesystem::remove(folder / stale);
    const auto probe = PixelsAre(image, {{2, 1, clRed, "ink"}, {0, 0, clWhite, "paper"}}, "probe");
    ASSERT_FALSE(probe);
    EXPECT_NE(std::string(probe.message()).find("(2, 1) ink: expected $FF0000 (RGB), got $000080"),
              std::string::npos)
        << probe.message();
    const QImage diff(QString::fromStdString((folder / "probe.diff.png").string()));
    EXPECT_EQ(diff.pixel(2, 1), qRgb(255, 0, 0)) << "the failing probe is marked";
    EXPECT_NE(diff.pixel(4, 2), qRgb(255, 0, 0));
    EXPECT_TRUE(std::filesystem::exists(folder / "probe.actual.png"));

    QImage other = image.copy();
    EXPECT_TRUE(ImagesEqual(other, image, "same"));
    other.setPixel(5, 3, qRgb(1, 2, 3));
    const auto compared = ImagesEqual(other, image, "compare");
    ASSERT_FALSE(compared);
    EXPECT_NE(std::string(compared.message()).find("1 pixel(s) differ, the first at (5, 3)"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder / "compare.expected.png"));
    EXPECT_FALSE(ImagesEqual(image.copy(0, 0, 5, 4), image, "size"));
}

} // namespace
} // namespace carlume::test
