#include "lookup/vehicle_detail.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace carlume {

namespace {

constexpr std::array<std::string_view, VehicleDetailColumnCount> ColumnTitles = {
    "Model Name",   "Symbol", "Body Style", "Engine Size", "Cylinders",    "Engine Type",
    "Model/Series", "Body",   "Engine",     "Restraints",  "Transmission", "Other",
    "Symbol",       "Comp",   "Coll",       "VIN"};

} // namespace

std::string_view VehicleDetailColumnTitle(int column)
{
    if (column < 0 || column >= VehicleDetailColumnCount)
        return {};
    return ColumnTitles[std::size_t(column)];
}

void TVehicleDetailGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = width;
    fitTexts_.clear();
}

void TVehicleDetailGrid::SetColCount(int count)
{
    colCount_ = std::max(count, 0);
    if (fitTexts_.size() > std::size_t(colCount_))
        fitTexts_.resize(std::size_t(colCount_));
}

void TVehicleDetailGrid::SetRowCount(int count)
{
    rowCount_ = std::max(count, 0);
}

std::string TVehicleDetailGrid::Cell(int column, int row) const
{
    if (column < 0 || row < 0 || std::size_t(row) >= cells_.size())
        return {};
    const std::vector<std::string>& line = cells_[std::size_t(row)];
    return std::size_t(column) < line.size() ? line[std::size_t(column)] : std::string();
}

void TVehicleDetailGrid::SetCell(int column, int row, std::string text)
{
    if (column < 0 || row < 0)
        return;
    if (cells_.size() <= std::size_t(row))
        cells_.resize(std::size_t(row) + 1);
    std::vector<std::string>& line = cells_[std::size_t(row)];
    if (line.size() <= std::size_t(column))
        line.resize(std::size_t(column) + 1);
    line[std::size_t(column)] = std::move(text);
}

void TVehicleDetailGrid::FitColumnTo(int column, std::string text)
{
    if (column < 0 || column >= colCount_)
        return;
    if (fitTexts_.size() <= std::size_t(column))
        fitTexts_.resize(std::size_t(column) + 1);
    fitTexts_[std::size_t(column)].push_back(std::move(text));
}

int TVehicleDetailGrid::ColWidth(int column, const TTextWidthFunction& textWidth) const
{
    int width = defaultColWidth_;
    if (column < 0 || std::size_t(column) >= fitTexts_.size())
        return width;
    for (const std::string& text : fitTexts_[std::size_t(column)])
        width = std::max(width, textWidth(text) + ColumnTextMargin);
    return width;
}

void LoadVehicleDetailWindow(const TVehicleDetailGrid& grid, IVehicleDetailWindow& window)
{
    window.SetCaption(grid.Caption());
    window.SetDefaultColWidth(grid.DefaultColWidth());
    window.SetColCount(grid.ColCount());
    window.SetRowCount(grid.RowCount());
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int column = 0; column < grid.ColCount(); ++column)
            window.SetCell(column, row, grid.Cell(column, row));
    }
    const TTextWidthFunction measure = [&window](const std::string& text) { return window.TextWidth(text); };
    for (int column = 0; column < grid.ColCount(); ++column)
        window.SetColWidth(column, grid.ColWidth(column, measure));
}

TVehicleDetailSize VehicleDetailFormSize(const TVehicleDetailSizing& sizing)
{
    // 64-bit sums: the inputs come from a window and a screen, but a grid of absurd size must not wrap.
    const long long height = (long long)sizing.FormHeight - sizing.GridHeight +
                             ((long long)sizing.RowCount + 1) * sizing.DefaultRowHeight + 25;
    const long long width = (long long)sizing.FormWidth - sizing.GridWidth + sizing.ColumnWidthSum + 35;
    TVehicleDetailSize size;
    size.Height = int(std::min<long long>(height, (long long)sizing.ScreenHeight - 100));
    size.Width = int(std::max<long long>(std::min<long long>(width, (long long)sizing.ScreenWidth - 100),
                                         VehicleDetailMinWidth));
    return size;
}

} // namespace carlume
