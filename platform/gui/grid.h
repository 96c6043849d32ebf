#pragma once

// The class library's grid, as far as the calendars use it: a fixed number of equal cells, fixed rows and
// columns, a current cell that moves only when `SelectCell` agrees, grid lines, and painting cell by cell.
// No scrolling: every cell is always visible.

#include "platform/gui/control.h"

#include <functional>

namespace carlume {

/// Grid options, combined in `TGridOptions`.
enum TGridOption : unsigned {
    goFixedVertLine = 1,
    goFixedHorzLine = 2,
    goVertLine = 4,
    goHorzLine = 8,
    goRangeSelect = 16,
    goDrawFocusSelected = 32
};
/// A set of `TGridOption` values.
using TGridOptions = unsigned;

/// State of a cell being drawn, combined in `TGridDrawState`.
enum TGridDrawFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
/// A set of `TGridDrawFlag` values.
using TGridDrawState = unsigned;

/// Border of the grid: none, or a flat one-pixel line.
enum class TGridBorder { bsNone, bsSingle };

class TCustomGrid : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomGrid(QWidget* parent = nullptr);

    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    int DefaultColWidth() const { return colWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int height);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int width);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    TGridBorder BorderStyle() const { return border_; }
    void SetBorderStyle(TGridBorder border);
    /// The font cells are drawn in.
    TFont& Font() { return font_; }

    /// The current cell.
    int Col() const { return col_; }
    int Row() const { return row_; }
    /// Makes (col, row) current when `SelectCell` agrees; false when it refused.
    bool MoveColRow(int col, int row, bool moveAnchor, bool show);
    /// The cell under the client point; (-1, -1) outside every cell.
    void MouseCoord(int x, int y, int& col, int& row) const;
    /// The client rectangle of a cell.
    TRect CellRect(int col, int row) const;

    /// Fired after a click (mouse or a move by key).
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    /// Fired on every mouse release, after `Click`.
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;

protected:
    /// Whether the current cell may move to (col, row).
    virtual bool SelectCell(int col, int row);
    /// Draws the content of a cell over its background.
    virtual void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state);
    /// A click; fires `OnClick`.
    virtual void Click();
    void DblClick() override;

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void CancelMode() override;
    void FocusIn(Qt::FocusReason reason) override;
    void FocusOut(Qt::FocusReason reason) override;

private:
    int BorderWidth() const { return border_ == TGridBorder::bsSingle ? 1 : 0; }
    int VertLineWidth() const;
    int HorzLineWidth() const;
    void InvalidateCell(int col, int row);
    bool FocusCell(int col, int row);

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    int colWidth_ = 64;
    int rowHeight_ = 24;
    int lineWidth_ = 1;
    TColor color_ = clWindow;
    TColor fixedColor_ = clBtnFace;
    TGridBorder border_ = TGridBorder::bsSingle;
    TFont font_;
    int col_ = 1;
    int row_ = 1;
    bool selecting_ = false;
    bool doubleClicked_ = false;
};

} // namespace carlume
