#include "platform/gui/grid.h"

#include <algorithm>

namespace carlume {

TCustomGrid::TCustomGrid(QWidget* parent)
    : TCustomControl(parent)
{
}

void TCustomGrid::SetColCount(int count)
{
    colCount_ = std::max(count, 1);
    col_ = std::clamp(col_, 0, colCount_ - 1);
    update();
}

void TCustomGrid::SetRowCount(int count)
{
    rowCount_ = std::max(count, 1);
    row_ = std::clamp(row_, 0, rowCount_ - 1);
    update();
}

void TCustomGrid::SetFixedCols(int count)
{
    fixedCols_ = std::clamp(count, 0, colCount_ - 1);
    col_ = std::max(col_, fixedCols_);
    update();
}

void TCustomGrid::SetFixedRows(int count)
{
    fixedRows_ = std::clamp(count, 0, rowCount_ - 1);
    row_ = std::max(row_, fixedRows_);
    update();
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    options_ = options;
    update();
}

void TCustomGrid::SetDefaultColWidth(int width)
{
    colWidth_ = std::max(width, 0);
    update();
}

void TCustomGrid::SetDefaultRowHeight(int height)
{
    rowHeight_ = std::max(height, 0);
    update();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    lineWidth_ = std::max(width, 0);
    update();
}

void TCustomGrid::SetColor(TColor color)
{
    color_ = color;
    update();
}

void TCustomGrid::SetFixedColor(TColor color)
{
    fixedColor_ = color;
    update();
}

void TCustomGrid::SetBorderStyle(TGridBorder border)
{
    border_ = border;
    update();
}

int TCustomGrid::VertLineWidth() const
{
    return (options_ & (goFixedVertLine | goVertLine)) != 0 ? lineWidth_ : 0;
}

int TCustomGrid::HorzLineWidth() const
{
    return (options_ & (goFixedHorzLine | goHorzLine)) != 0 ? lineWidth_ : 0;
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    const int x = BorderWidth() + col * (colWidth_ + VertLineWidth());
    const int y = BorderWidth() + row * (rowHeight_ + HorzLineWidth());
    return Bounds(x, y, colWidth_, rowHeight_);
}

void TCustomGrid::MouseCoord(int x, int y, int& col, int& row) const
{
    col = -1;
    row = -1;
    const int stepX = colWidth_ + VertLineWidth();
    const int stepY = rowHeight_ + HorzLineWidth();
    const int cx = x - BorderWidth();
    const int cy = y - BorderWidth();
    if (stepX <= 0 || stepY <= 0 || cx < 0 || cy < 0)
        return;
    const int c = cx / stepX;
    const int r = cy / stepY;
    // A point on a grid line belongs to the cell before it, as on the class library's grid.
    if (c >= colCount_ || r >= rowCount_)
        return;
    col = c;
    row = r;
}

bool TCustomGrid::MoveColRow(int col, int row, bool, bool)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return false;
    if (!SelectCell(col, row))
        return false;
    if (col != col_ || row != row_) {
        InvalidateCell(col_, row_);
        col_ = col;
        row_ = row;
        InvalidateCell(col_, row_);
    }
    return true;
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    update(CellRect(col, row).Inflated(1, 1).ToQRect());
}

bool TCustomGrid::FocusCell(int col, int row)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col == col_ && row == row_)
        return false;
    if (!MoveColRow(col, row, true, true))
        return false;
    Click();
    return true;
}

bool TCustomGrid::SelectCell(int, int)
{
    return true;
}

void TCustomGrid::DrawCell(TCanvas&, int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::Click()
{
    if (OnClick)
        OnClick();
}

void TCustomGrid::DblClick()
{
    doubleClicked_ = true;
    if (OnDblClick)
        OnDblClick();
}

void TCustomGrid::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(color_);
    canvas.FillRect(Rect(0, 0, width(), height()));
    if (border_ == TGridBorder::bsSingle) {
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(Rect(0, 0, width(), height()));
    }
    const int vLine = VertLineWidth();
    const int hLine = HorzLineWidth();
    const bool focused = hasFocus();
    for (int row = 0; row < rowCount_; ++row) {
        for (int col = 0; col < colCount_; ++col) {
            const TRect rect = CellRect(col, row);
            const bool fixed = row < fixedRows_ || col < fixedCols_;
            const bool current = !fixed && col == col_ && row == row_;
            TGridDrawState state = 0;
            canvas.Font().Assign(font_);
            if (fixed) {
                state |= gdFixed;
                canvas.Brush().SetColor(fixedColor_);
            } else if (current && (!focused || (options_ & goDrawFocusSelected) != 0)) {
                state |= gdSelected;
                canvas.Brush().SetColor(clHighlight);
                canvas.Font().SetColor(clHighlightText);
            } else {
                canvas.Brush().SetColor(color_);
            }
            if (current && focused)
                state |= gdFocused;
            canvas.FillRect(rect);
            DrawCell(canvas, col, row, rect, state);
            // The lines right of and below the cell.
            const TGridOptions vOption = col < fixedCols_ || row < fixedRows_ ? goFixedVertLine : goVertLine;
            const TGridOptions hOption = row < fixedRows_ || col < fixedCols_ ? goFixedHorzLine : goHorzLine;
            canvas.Brush().SetColor(fixed ? clBlack : clBtnFace);
            if (vLine > 0 && (options_ & vOption) != 0)
                canvas.FillRect(Rect(rect.Right, rect.Top, rect.Right + vLine, rect.Bottom + hLine));
            if (hLine > 0 && (options_ & hOption) != 0)
                canvas.FillRect(Rect(rect.Left, rect.Bottom, rect.Right + vLine, rect.Bottom + hLine));
        }
    }
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != TMouseButton::mbLeft)
        return;
    if ((shift & ssDouble) != 0)
        return;
    doubleClicked_ = false;
    int col = 0;
    int row = 0;
    MouseCoord(x, y, col, row);
    if (col < fixedCols_ || row < fixedRows_)
        return;
    selecting_ = true;
    MoveColRow(col, row, true, true);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (!selecting_ || (shift & ssLeft) == 0)
        return;
    int col = 0;
    int row = 0;
    MouseCoord(x, y, col, row);
    if (col >= fixedCols_ && row >= fixedRows_ && (col != col_ || row != row_))
        MoveColRow(col, row, false, true);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool click = selecting_ && !doubleClicked_ && button == TMouseButton::mbLeft;
    if (button == TMouseButton::mbLeft) {
        selecting_ = false;
        doubleClicked_ = false;
    }
    // The click comes first: a listener of the release finds the clicked cell current already.
    if (click)
        Click();
    if (OnMouseUp)
        OnMouseUp(button, shift, x, y);
}

void TCustomGrid::KeyDown(TVirtualKey& key, TShiftState shift)
{
    const bool ctrl = (shift & ssCtrl) != 0;
    const int page = rowCount_ - fixedRows_;
    int col = col_;
    int row = row_;
    switch (key) {
    case VK_UP:
        --row;
        break;
    case VK_DOWN:
        ++row;
        break;
    case VK_LEFT:
        --col;
        break;
    case VK_RIGHT:
        ++col;
        break;
    case VK_HOME:
        col = fixedCols_;
        if (ctrl)
            row = fixedRows_;
        break;
    case VK_END:
        col = colCount_ - 1;
        if (ctrl)
            row = rowCount_ - 1;
        break;
    case VK_PRIOR:
        row = ctrl ? fixedRows_ : row - page;
        break;
    case VK_NEXT:
        row = ctrl ? rowCount_ - 1 : row + page;
        break;
    default:
        return;
    }
    FocusCell(col, row);
    key = 0;
}

void TCustomGrid::CancelMode()
{
    selecting_ = false;
}

void TCustomGrid::FocusIn(Qt::FocusReason)
{
    InvalidateCell(col_, row_);
}

void TCustomGrid::FocusOut(Qt::FocusReason)
{
    InvalidateCell(col_, row_);
}

} // namespace carlume
