#include "tests/support/image_check.h"

#include "tests/support/test_output.h"

#include <QString>
#include <QWidget>

#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

namespace carlume::test {

namespace {

// A faded copy of the picture, so that marked pixels stand out.
QImage Faded(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            const int grey = (qRed(p) * 77 + qGreen(p) * 150 + qBlue(p) * 29) >> 8;
            const int light = 160 + grey * 95 / 255;
            out.setPixel(x, y, qRgb(light, light, light));
        }
    }
    return out;
}

} // namespace

QImage RenderWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

TColor PixelAt(const QImage& image, int x, int y)
{
    if (!image.valid(x, y)) {
        return clNone;
    }
    return FromQRgb(image.pixel(x, y));
}

QRect InkBounds(const QImage& image, const QRect& area, TColor background)
{
    const TColor back = ColorToRGB(background);
    QRect bounds;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (FromQRgb(image.pixel(x, y)) != back) {
                bounds = bounds.united(QRect(x, y, 1, 1));
            }
        }
    }
    return bounds;
}

int CountPixels(const QImage& image, const QRect& area, TColor color)
{
    const TColor wanted = ColorToRGB(color);
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += FromQRgb(image.pixel(x, y)) == wanted ? 1 : 0;
        }
    }
    return count;
}

std::vector<TPixelProbe> Probes(const std::string& text)
{
    static const std::map<std::string, TColor> names{{"Black", clBlack},
                                                     {"White", clWhite},
                                                     {"Red", clRed},
                                                     {"Lime", clLime},
                                                     {"Blue", clBlue},
                                                     {"Navy", clNavy},
                                                     {"Yellow", clYellow},
                                                     {"Fuchsia", clFuchsia},
                                                     {"Gray", clGray},
                                                     {"Silver", clSilver},
                                                     {"BtnFace", clBtnFace},
                                                     {"BtnShadow", clBtnShadow},
                                                     {"BtnText", clBtnText},
                                                     {"BtnHighlight", clBtnHighlight},
                                                     {"WindowFrame", clWindowFrame},
                                                     {"Highlight", clHighlight}};
    std::vector<TPixelProbe> probes;
    std::istringstream in(text);
    for (std::string probe; in >> probe;) {
        int x = 0;
        int y = 0;
        char colour[32] = {};
        if (std::sscanf(probe.c_str(), "%d,%d=%31s", &x, &y, colour) != 3)
            throw std::invalid_argument("bad probe: " + probe);
        const std::string name(colour);
        probes.emplace_back(x, y,
                            name.front() == '$' ? RGBToColor(std::stoi(name.substr(1, 2), nullptr, 16),
                                                             std::stoi(name.substr(3, 2), nullptr, 16),
                                                             std::stoi(name.substr(5, 2), nullptr, 16))
                                                : names.at(name));
    }
    return probes;
}

std::string ColorText(TColor color)
{
    if (color == clNone) {
        return "none";
    }
    const TColor rgb = ColorToRGB(color);
    char text[16];
    std::snprintf(text, sizeof text, "$%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return text;
}

std::filesystem::path SaveTestImage(const QImage& image, const std::string& fileName)
{
    const std::filesystem::path path = TestOutputFolder() / SafeFileName(fileName);
    image.save(QString::fromStdString(path.string()), "PNG");
    return path;
}

::testing::AssertionResult PixelsAre(const QImage& image, const std::vector<TPixelProbe>& probes,
                                     const std::string& name)
{
    std::ostringstream mismatches;
    QImage diff = Faded(image);
    bool failed = false;
    for (const auto& probe : probes) {
        const TColor actual = PixelAt(image, probe.X, probe.Y);
        if (actual != ColorToRGB(probe.Expected)) {
            failed = true;
            mismatches << "\n  (" << probe.X << ", " << probe.Y << ")"
                       << (probe.What.empty() ? "" : " " + probe.What) << ": expected "
                       << ColorText(probe.Expected) << " (RGB), got " << ColorText(actual);
            if (diff.valid(probe.X, probe.Y)) {
                diff.setPixel(probe.X, probe.Y, qRgb(255, 0, 0));
            }
        }
    }
    if (!failed) {
        return ::testing::AssertionSuccess();
    }
    const auto actualPath = SaveTestImage(image, name + ".actual.png");
    const auto diffPath = SaveTestImage(diff, name + ".diff.png");
    return ::testing::AssertionFailure() << name << ": pixels differ" << mismatches.str() << "\n  saved "
                                         << actualPath.string() << " and " << diffPath.string();
}

::testing::AssertionResult ImagesEqual(const QImage& actual, const QImage& expected, const std::string& name)
{
    if (actual.size() != expected.size()) {
        const auto actualPath = SaveTestImage(actual, name + ".actual.png");
        SaveTestImage(expected, name + ".expected.png");
        return ::testing::AssertionFailure()
               << name << ": size " << actual.width() << "x" << actual.height() << " instead of "
               << expected.width() << "x" << expected.height() << "; saved " << actualPath.string();
    }
    QImage diff = Faded(actual);
    int differing = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if ((actual.pixel(x, y) & 0xFFFFFFU) != (expected.pixel(x, y) & 0xFFFFFFU)) {
                if (differing++ == 0) {
                    first = QPoint(x, y);
                }
                diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    const auto actualPath = SaveTestImage(actual, name + ".actual.png");
    SaveTestImage(expected, name + ".expected.png");
    const auto diffPath = SaveTestImage(diff, name + ".diff.png");
    return ::testing::AssertionFailure()
           << name << ": " << differing << " pixel(s) differ, the first at (" << first.x() << ", "
           << first.y() << "): " << ColorText(FromQRgb(actual.pixel(first))) << " instead of "
           << ColorText(FromQRgb(expected.pixel(first))) << "\n  saved " << actualPath.string() << " and "
           << diffPath.string();
}

} // namespace carlume::test
