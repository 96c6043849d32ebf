#include "platform/gui/font.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>

namespace carlume {

namespace {

struct Substitution {
    const char* name;
    const char* family;
};

constexpr std::array<Substitution, 4> kSubstitutions = {{
    {"MS Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Courier", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
}};

} // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0) {
        return 0;
    }
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t magnitude =
        (std::llabs(product) * 2 + std::llabs(c)) / (std::int64_t(std::llabs(c)) * 2);
    return int(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

TFont::TFont()
    : name_(QStringLiteral("MS Sans Serif"))
    , height_(-11)
    , color_(clWindowText)
{
}

void TFont::SetName(const QString& name)
{
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height)
{
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

int TFont::Size() const
{
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, pixelsPerInch_, 72));
}

void TFont::SetPixelsPerInch(int pixelsPerInch)
{
    if (pixelsPerInch > 0) {
        pixelsPerInch_ = pixelsPerInch;
    }
}

void TFont::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::Assign(const TFont& source)
{
    if (&source == this) {
        return;
    }
    name_ = source.name_;
    height_ =
        source.pixelsPerInch_ == pixelsPerInch_ ? source.height_ : -MulDiv(source.Size(), pixelsPerInch_, 72);
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

QFont TFont::ToQFont() const
{
    // Controls paint with fresh canvases many times a second; a QFont made once per name, height and style
    // keeps Qt's font engine data, which a new QFont would look up again.
    struct TKey {
        QString name;
        int height;
        TFontStyles style;
        bool operator<(const TKey& other) const
        {
            return std::tie(name, height, style) < std::tie(other.name, other.height, other.style);
        }
    };
    // Fonts must go before the application does; without one nothing is kept.
    static std::map<TKey, QFont> made;
    static bool cleanupRegistered = false;
    const bool keep = QCoreApplication::instance() != nullptr;
    if (keep && !cleanupRegistered) {
        qAddPostRoutine([] {
            made.clear();
            cleanupRegistered = false;
        });
        cleanupRegistered = true;
    }
    TKey key{name_, height_, style_};
    if (auto it = made.find(key); it != made.end()) {
        return it->second;
    }
    QFont font(ResolveFontFamily(name_));
    if (height_ < 0) {
        font.setPixelSize(-height_);
    } else if (height_ > 0) {
        // A positive height is the whole cell; scale the em size so ascent + descent comes close to it.
        font.setPixelSize(height_);
        const int cell = QFontMetrics(font).height();
        if (cell > 0) {
            font.setPixelSize(std::max(1, int(std::lround(double(height_) * height_ / cell))));
        }
    } else {
        font.setPixelSize(11);
    }
    font.setBold((style_ & fsBold) != 0);
    font.setItalic((style_ & fsItalic) != 0);
    font.setUnderline((style_ & fsUnderline) != 0);
    font.setStrikeOut((style_ & fsStrikeOut) != 0);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (keep) {
        if (made.size() >= 64) {
            made.clear();
        }
        made.emplace(std::move(key), font);
    }
    return font;
}

bool TFont::SameAs(const TFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
           style_ == other.style_;
}

void TFont::Changed()
{
    if (OnChange) {
        OnChange();
    }
}

QString ResolveFontFamily(const QString& name)
{
    for (const auto& s : kSubstitutions) {
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
            return QLatin1String(s.family);
        }
    }
    return name;
}

void InstallFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const auto& s : kSubstitutions) {
            QFont::insertSubstitution(QLatin1String(s.name), QLatin1String(s.family));
        }
    });
}

} // namespace carlume
