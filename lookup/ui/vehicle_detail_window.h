#pragma once

// The chooser window ("Vehicle Details"): the lines a lookup found, one per row under a title row, for the
// user to pick one with OK or a double click. The choosers fill it through `IVehicleDetailWindow`
// (lookup/vehicle_detail.h) and show it only when there are two or more lines.

// moc cannot parse the C++20 library headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "lookup/ui/anchors.h"
#include "lookup/vehicle_detail.h"
#include "platform/gui/form.h"
#endif

#include <memory>
#include <string>

namespace Ui {
class TVehicleDetail;
}

namespace carlume {

/// The window's colour.
inline constexpr TColor VehicleDetailColor = TColor(0xF7DFD6);
/// The height of a grid row, the title row included.
inline constexpr int VehicleDetailRowHeight = 16;

/// The chooser window.
class TVehicleDetail final : public TForm, public IVehicleDetailWindow {
    Q_OBJECT
public:
    /// The window as laid out, fitted to its controls; `owner` may be null.
    explicit TVehicleDetail(QWidget* owner = nullptr);
    /// Releases the layout.
    ~TVehicleDetail() override;

    using TForm::SetCaption;
    /// Sets the window title.
    void SetCaption(const std::string& caption) override;
    /// Sets the default column width; every column goes back to it.
    void SetDefaultColWidth(int width) override;
    /// Sets the number of columns.
    void SetColCount(int count) override;
    /// Sets the number of rows, the title row included (at least the title row is kept).
    void SetRowCount(int count) override;
    /// Sets a cell's text; row 0 is the title row.
    void SetCell(int column, int row, const std::string& text) override;
    /// Sets a column's width.
    void SetColWidth(int column, int width) override;
    /// The width of `text` in the grid's font.
    int TextWidth(const std::string& text) const override;
    /// Shows the window modally; `mrOk` when a row was chosen with OK, Enter or a double click.
    TModalResult ShowModal() override;
    /// The current row, 1 for the first line; 0 when none is current.
    int Row() const override;

    /// The text of a cell; row 0 is the title row.
    std::string Cell(int column, int row) const;
    /// The number of rows, the title row included.
    int RowCount() const;
    /// The number of columns.
    int ColCount() const;
    /// The width of a column.
    int ColWidth(int column) const;

    /// Sizes the window to its grid and centres it (run each time the window is shown).
    void FormShow();
    /// Ends the window with OK (the grid's double click).
    void InfoGridDblClick();

protected:
    void DoShow() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TVehicleDetail> ui_;
    TAnchorSet anchors_;
};

/// Makes real chooser windows.
class TVehicleDetailFactory final : public IVehicleDetailWindowFactory {
public:
    /// A new `TVehicleDetail` without owner.
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;
};

} // namespace carlume
