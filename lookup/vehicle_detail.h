#pragma once

// The chooser window's contents and the interface through which the choosers reach the window.
//
// The choosers fill a `TVehicleDetailGrid` first and create a window only when it has two or more rows
// to choose from, so a lookup with one match never needs the windowing library. Column widths depend on
// the width of texts on the grid's canvas; the grid keeps the texts each column must hold and works out
// the widths once a window can measure them.

#include "foundation/string_helpers.h"
#include "platform/modal_result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

/// Number of columns the engine and the choosers know (bit n of a column set = column n).
inline constexpr int VehicleDetailColumnCount = 16;

/// The title of column `column` (0-15): "Model Name", "Symbol", "Body Style", ... "VIN"; "" outside.
std::string_view VehicleDetailColumnTitle(int column);

/// The contents of the chooser's grid: caption, columns, rows and cells, as a string grid keeps them.
/// Row 0 holds the column titles; row 1 is the first choice.
class TVehicleDetailGrid {
public:
    /// Extra width a column gets beyond its widest text.
    static constexpr int ColumnTextMargin = 9;

    /// The window's caption.
    const std::string& Caption() const { return caption_; }
    /// Sets the window's caption.
    void SetCaption(std::string caption) { caption_ = std::move(caption); }

    /// Width a column has before any text widened it.
    int DefaultColWidth() const { return defaultColWidth_; }
    /// Sets the default width; every column goes back to it, as in a string grid.
    void SetDefaultColWidth(int width);
    /// Number of columns.
    int ColCount() const { return colCount_; }
    /// Sets the number of columns; new ones have the default width.
    void SetColCount(int count);
    /// Number of rows, the title row included.
    int RowCount() const { return rowCount_; }
    /// Sets the number of rows.
    void SetRowCount(int count);

    /// The text of a cell; "" for a cell never set.
    std::string Cell(int column, int row) const;
    /// Sets the text of a cell (negative positions are ignored).
    void SetCell(int column, int row, std::string text);

    /// Makes column `column` at least as wide as `text` on the grid's canvas plus `ColumnTextMargin`.
    void FitColumnTo(int column, std::string text);
    /// The width of column `column`: the larger of the default width and every fitted text's width
    /// (measured by `textWidth`) plus `ColumnTextMargin`.
    int ColWidth(int column, const TTextWidthFunction& textWidth) const;

private:
    std::string caption_;
    int defaultColWidth_ = 75;
    int colCount_ = 1;
    int rowCount_ = 2;
    std::vector<std::vector<std::string>> cells_;    // [row][column]
    std::vector<std::vector<std::string>> fitTexts_; // [column]
};

/// The chooser window ("Vehicle Details"): a grid with one title row, OK and Cancel.
class IVehicleDetailWindow {
public:
    virtual ~IVehicleDetailWindow() = default;
    /// Sets the caption.
    virtual void SetCaption(const std::string& caption) = 0;
    /// Sets the grid's default column width (every column goes back to it).
    virtual void SetDefaultColWidth(int width) = 0;
    /// Sets the number of grid columns.
    virtual void SetColCount(int count) = 0;
    /// Sets the number of grid rows, the title row included.
    virtual void SetRowCount(int count) = 0;
    /// Sets the text of a grid cell; row 0 is the title row.
    virtual void SetCell(int column, int row, const std::string& text) = 0;
    /// Sets the width of a grid column.
    virtual void SetColWidth(int column, int width) = 0;
    /// The width of `text` on the grid's canvas.
    virtual int TextWidth(const std::string& text) const = 0;
    /// Shows the window modally (sized to its grid); the modal result, `mrOk` when a row was chosen.
    virtual TModalResult ShowModal() = 0;
    /// The grid's current row after the show; 1 is the first choice.
    virtual int Row() const = 0;
};

/// Creates chooser windows.
class IVehicleDetailWindowFactory {
public:
    virtual ~IVehicleDetailWindowFactory() = default;
    /// A new chooser window, not shown yet.
    virtual std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() = 0;
};

/// Puts a filled grid into a window: caption, default width, counts, every cell and every column width.
void LoadVehicleDetailWindow(const TVehicleDetailGrid& grid, IVehicleDetailWindow& window);

/// What the chooser's size is worked out from, in pixels; the form's sizes are client sizes.
struct TVehicleDetailSizing {
    int FormWidth = 0;        ///< the form's width
    int FormHeight = 0;       ///< the form's height once it was set to `VehicleDetailInitialHeight`
    int GridWidth = 0;        ///< the grid's width
    int GridHeight = 0;       ///< the grid's height at that form height
    int RowCount = 0;         ///< grid rows, the title row included
    int DefaultRowHeight = 0; ///< the grid's row height
    int ColumnWidthSum = 0;   ///< the sum of every column's width
    int ScreenWidth = 0;      ///< the screen's width
    int ScreenHeight = 0;     ///< the screen's height
};

/// Height the chooser form takes before it is sized to its grid.
inline constexpr int VehicleDetailInitialHeight = 91;
/// The chooser is never narrower than this.
inline constexpr int VehicleDetailMinWidth = 325;

/// Width and height of a chooser.
struct TVehicleDetailSize {
    int Width = 0;  ///< the form's width
    int Height = 0; ///< the form's height
};

/// The size a chooser takes when it is shown: tall enough for every row and wide enough for every column,
/// but at most the screen less 100 pixels each way, and never narrower than `VehicleDetailMinWidth`.
TVehicleDetailSize VehicleDetailFormSize(const TVehicleDetailSizing& sizing);

} // namespace carlume
