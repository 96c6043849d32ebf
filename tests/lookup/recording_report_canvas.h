#pragma once

// A report canvas for tests that records every call with the font and page it happened on. On its own it
// has fixed metrics (a text is 2 pixels high per point, each character half a pixel wide per point,
// rounded down); around another canvas it passes every call on and takes that canvas's metrics. It can
// raise an error at a chosen call.

#include "lookup/vehicle_report.h"
#include "platform/exceptions.h"

#include <string>
#include <vector>

namespace carlume::test {

/// One call on the canvas.
struct TCanvasEvent {
    enum class TKind { BeginDoc, EndDoc, Abort, NewPage, Text, Line };
    TKind Kind = TKind::Text;
    int Page = 0; ///< from 1 (0 before BeginDoc)
    int X = 0;
    int Y = 0;
    int X2 = 0; ///< a line's end
    int Y2 = 0;
    std::string Text;
    std::string FontName;
    int FontSize = 0;
    bool Bold = false;
};

class TRecordingReportCanvas : public IReportCanvas {
public:
    using TKind = TCanvasEvent::TKind;
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

    void FailBeginDoc() { failBeginDoc_ = true; }
    void FailEndDoc() { failEndDoc_ = true; }
    /// The text call number `count` (from 1) raises instead of writing.
    void FailAtText(int count) { failAtText_ = count; }
    static constexpr const char* kFailure = "The printer is out of paper";

    void BeginDoc() override
    {
        Fail(failBeginDoc_);
        Pass(&IReportCanvas::BeginDoc);
        page_ = 1;
        Record(TKind::BeginDoc);
    }
    void EndDoc() override
    {
        Fail(failEndDoc_);
        Pass(&IReportCanvas::EndDoc);
        Record(TKind::EndDoc);
    }
    void Abort() override
    {
        Pass(&IReportCanvas::Abort);
        Record(TKind::Abort);
    }
    void NewPage() override
    {
        Pass(&IReportCanvas::NewPage);
        ++page_;
        Record(TKind::NewPage);
    }
    int PageWidth() const override { return inner_ ? inner_->PageWidth() : pageWidth_; }
    int PageHeight() const override { return inner_ ? inner_->PageHeight() : pageHeight_; }
    int PixelsPerInch() const override { return inner_ ? inner_->PixelsPerInch() : pixelsPerInch_; }
    void SetFontName(const std::string& name) override
    {
        Pass(&IReportCanvas::SetFontName, name);
        fontName_ = name;
    }
    void SetFontSize(int points) override
    {
        Pass(&IReportCanvas::SetFontSize, points);
        fontSize_ = points;
    }
    void SetFontBold(bool bold) override
    {
        Pass(&IReportCanvas::SetFontBold, bold);
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
        Fail(++textCount_ == failAtText_);
        Pass(&IReportCanvas::TextOut, x, y, text);
        Record(TKind::Text, x, y, 0, 0, text);
    }
    void Line(int x1, int y1, int x2, int y2) override
    {
        Pass(&IReportCanvas::Line, x1, y1, x2, y2);
        Record(TKind::Line, x1, y1, x2, y2);
    }

    /// Every call, in order.
    const std::vector<TCanvasEvent>& Events() const { return events_; }
    /// The text calls, in order.
    std::vector<TCanvasEvent> Texts() const
    {
        std::vector<TCanvasEvent> texts;
        for (const TCanvasEvent& event : events_) {
            if (event.Kind == TKind::Text)
                texts.push_back(event);
        }
        return texts;
    }
    /// Pages of the document: the page of the last call.
    int Pages() const { return events_.empty() ? 0 : events_.back().Page; }

private:
    static void Fail(bool fail)
    {
        if (fail)
            throw Exception(kFailure);
    }
    template <class Method, class... Args> void Pass(Method method, const Args&... args)
    {
        if (inner_)
            (inner_->*method)(args...);
    }
    void Record(TKind kind, int x = 0, int y = 0, int x2 = 0, int y2 = 0, const std::string& text = {})
    {
        events_.push_back({kind, page_, x, y, x2, y2, text, fontName_, fontSize_, bold_});
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
