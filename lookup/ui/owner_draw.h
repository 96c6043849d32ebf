#pragma once

// A page control whose tab captions its owner draws, and a string grid whose cells its owner may draw.
// Both hand the drawing to a handler of the window that holds them, which gets a canvas and the
// rectangle, as the class library's owner-draw events do.

#include "platform/gui/canvas.h"
#include "platform/gui/geometry.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include <functional>
#include <string>

namespace carlume {

/// A tab widget whose tab captions are drawn by its owner.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    /// Draws the caption of tab `index` in `rect` (tab bar coordinates); `active` for the current tab. The
    /// tab's shape is already drawn by the style.
    using TDrawTab = std::function<void(TCanvas& canvas, int index, const TRect& rect, bool active)>;

    /// A page control with owner-drawn tabs; until a handler is set the captions are not drawn.
    explicit TPageControl(QWidget* parent = nullptr);
    /// Sets the caption drawing handler (run inside the error guard).
    void SetOnDrawTab(TDrawTab handler);
    /// The caption of page `index` as text ("" outside).
    std::string PageCaption(int index) const;
};

/// A table that, like the class library's grids, always keeps its selected cell or row: a click beside the
/// cells and a Ctrl+click or Ctrl+Space on the selection leave it as it is.
class TSelectionKeepingTable : public QTableWidget {
    Q_OBJECT
public:
    /// An empty table.
    explicit TSelectionKeepingTable(QWidget* parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
};

/// A grid of texts addressed (column, row) as the class library's string grid. With a draw handler every
/// cell is drawn by the owner and the grid draws none itself (grid lines excepted).
class TStringGrid : public TSelectionKeepingTable {
    Q_OBJECT
public:
    /// Draws cell (`column`, `row`) in `rect` (viewport coordinates); `focused` for the current cell while
    /// the grid has the focus.
    using TDrawCell =
        std::function<void(TCanvas& canvas, int column, int row, const TRect& rect, bool focused)>;

    /// An empty grid: no headers, no editing, one cell selected at a time; Tab leaves it.
    explicit TStringGrid(QWidget* parent = nullptr);

    /// The text of a cell; "" for a cell never set or outside the grid.
    std::string Cell(int column, int row) const;
    /// Sets the text of a cell inside the grid (ignored outside).
    void SetCell(int column, int row, const std::string& text);
    /// Number of rows.
    int RowCount() const { return rowCount(); }
    /// Sets the number of rows.
    void SetRowCount(int count) { setRowCount(count); }
    /// Number of columns.
    int ColCount() const { return columnCount(); }
    /// Sets the number of columns.
    void SetColCount(int count) { setColumnCount(count); }
    /// Width of a column.
    int ColWidth(int column) const { return columnWidth(column); }
    /// Sets the width of a column.
    void SetColWidth(int column, int width) { setColumnWidth(column, width); }
    /// The current row (-1 when none).
    int Row() const { return currentRow(); }
    /// The current column (-1 when none).
    int Col() const { return currentColumn(); }
    /// Sets the cell drawing handler (run inside the error guard).
    void SetOnDrawCell(TDrawCell handler);
    /// The cell drawing handler.
    const TDrawCell& OnDrawCell() const { return onDrawCell_; }

protected:
    /// The keys that move the current cell click the cell they reach.
    void keyPressEvent(QKeyEvent* event) override;

private:
    TDrawCell onDrawCell_;
};

} // namespace carlume
