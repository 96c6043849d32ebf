#pragma once

// A report canvas for tests that records every call with the font and page it happened on. On its own it
// has fixed metrics (a text is 2 pixels high per point, each character half a pixel wide per point,
// rounded down); around another canvas it passes every call on
// and takes that canvas's metrics. It can raise an error at a chosen call.

#include "lookup/vehicle_report.h"
#include "platform/exceptions.h"

#include <string>
#include <vector>

namespace carlume::test {

/// One call on the canvas.
struct TCanvasEvent {
    /// Which call.
    enum class TKind { BeginDoc, EndDoc, Abort, NewPage, Text, Line };
    TKind Kind = TKind::Text;
    /// The page it happened on, from 1 (0 before BeginDoc).
    int Page = 0;
    /// Text position, or the line's start and end.
    int X = 0;
    int Y = 0;
    int X2 = 0;
    int Y2 = 0;
    /// The text written.
    std::string Text;
    /// The font at the time.
    std::string FontName;
    int FontSize = 0;
    bool Bold = false;
};

class TRecordingReportCanvas : public IReportCanvas {
public:
    /// A canvas of its own with fixed metrics.
    TRecordingReportCanvas(int pageWidth, int pageHeight, int pixelsPerInch)
        : pageWidth_(pageWidth)
        , pageHeight_(pageHeight)
        , pixelsPerInch_(pixelsPerInch)
    {
    }
    /// Records the calls and passes them on to `inner`.
    explicit TRecordingReportCanvas(IReportCanvas& inner)
        : inner_(&inner)
    {
    }

    /// BeginDoc raises.
    void FailBeginDoc() { failBeginDoc_ = true; }
    /// EndDoc raises.
    void FailEndDoc() { failEndDoc_ = true; }
    /// The text call number `count` (from 1) raises instead of writing.
    void FailAtText(int count) { failAtText_ = count; }
    /// The message of the raised errors.
    static constexpr const char* kFailure = "The printer is out of paper";

    void BeginDoc() override
    {
        if (failBeginDoc_)
            throw Exception(kFailure);
        if (inner_)
            inner_->BeginDoc();
        page_ = 1;
        Record(TCanvasEvent::TKind::BeginDoc);
    }
    void EndDoc() override
    {
        if (failEndDoc_)
            throw Exception(kFailure);
        if (inner_)
            inner_->EndDoc();
        Record(TCanvasEvent::TKind::EndDoc);
    }
    void Abort() override
    {
        if (inner_)
            inner_->Abort();
        Record(TCanvasEvent::TKind::Abort);
    }
    void NewPage() override
    {
        if (inner_)
            inner_->NewPage();
        ++page_;
        Record(TCanvasEvent::TKind::NewPage);
    }
    int PageWidth() const override { return inner_ ? inner_->PageWidth() : pageWidth_; }
    int PageHeight() const override { return inner_ ? inner_->PageHeight() : pageHeight_; }
    int PixelsPerInch() const override { return inner_ ? inner_->PixelsPerInch() : pixelsPerInch_; }
    void SetFontName(const std::string& name) override
    {
        if (inner_)
            inner_->SetFontName(name);
        fontName_ = name;
    }
    void SetFontSize(int points) override
    {
        if (inner_)
            inner_->SetFontSize(points);
        fontSize_ = points;
    }
    void SetFontBold(bool bold) override
    {
        if (inner_)
            inner_->SetFontBold(bold);
        bold_ = bold;
    }
    int TextHeight(const std::string& text) const override
    {
        return inner_ ? inner_->TextHeight(text) : 2 * fontSize_;
    }
    int TextWidth(const std::string& text) const override
    {
        return inner_ ? inner_->TextWidth(text) : int(text.size()) * fontSize_ / 2;
    }
    void TextOut(int x, int y, const std::string& text) override
    {
        if (++textCount_ == failAtText_)
            throw Exception(kFailure);
        if (inner_)
            inner_->TextOut(x, y, text);
        TCanvasEvent& event = Record(TCanvasEvent::TKind::Text);
        event.X = x;
        event.Y = y;
        event.Text = text;
    }
    void Line(int x1, int y1, int x2, int y2) override
    {
        if (inner_)
            inner_->Line(x1, y1, x2, y2);
        TCanvasEvent& event = Record(TCanvasEvent::TKind::Line);
        event.X = x1;
        event.Y = y1;
        event.X2 = x2;
        event.Y2 = y2;
    }

    /// Every call, in order.
    const std::vector<TCanvasEvent>& Events() const { return events_; }
    /// The text calls, in order.
    std::vector<TCanvasEvent> Texts() const
    {
        std::vector<TCanvasEvent> texts;
        for (const TCanvasEvent& event : events_) {
            if (event.Kind == TCanvasEvent::TKind::Text)
                texts.push_back(event);
        }
        return texts;
    }
    /// Pages of the document: the page of the last call.
    int Pages() const { return events_.empty() ? 0 : events_.back().Page; }

private:
    TCanvasEvent& Record(TCanvasEvent::TKind kind)
    {
        TCanvasEvent event;
        event.Kind = kind;
        event.Page = page_;
        event.FontName = fontName_;
        event.FontSize = fontSize_;
        event.Bold = bold_;
        events_.push_back(event);
        return events_.back();
    }

    IReportCanvas* inner_ = nullptr;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int pixelsPerInch_ = 0;
    std::string fontName_;
    int fontSize_ = 0;
    bool bold_ = false;
    int page_ = 0;
    int textCount_ = 0;
    int failAtText_ = 0;
    bool failBeginDoc_ = false;
    bool failEndDoc_ = false;
    std::vector<TCanvasEvent> events_;
};

} // namespace carlume::test
