#include "lookup/chassix_ui.h"

#include "platform/sysutils.h"

#include <cstddef>
#include <exception>
#include <optional>
#include <utility>

namespace carlume {

namespace {

constexpr int ChooserColumnWidth = 25;
constexpr int ColumnVinNumber = 15;

bool IsCompCollYear(int year)
{
    return year >= FirstCompCollModelYear;
}

std::uint16_t SymbolColumns(int year)
{
    return IsCompCollYear(year) ? std::uint16_t(ColumnComp | ColumnColl) : ColumnSymbol;
}

// The title row for the columns of `set`; returns their numbers in grid order.
std::vector<int> AddTitles(TVehicleDetailGrid& grid, std::uint16_t set)
{
    std::vector<int> columns;
    for (int bit = 0; bit < VehicleDetailColumnCount; ++bit) {
        if ((set & (1u << bit)) == 0)
            continue;
        const int index = int(columns.size());
        grid.SetColCount(index + 1);
        const std::string title(VehicleDetailColumnTitle(bit));
        grid.SetCell(index, 0, title);
        grid.FitColumnTo(index, title);
        columns.push_back(bit);
    }
    return columns;
}

// The texts of the current walk item for `columns`; read whole before anything is added, so a failure
// leaves the grid and the choices as they were.
std::vector<std::string> ReadCells(IChassixCalls& engine, const std::vector<int>& columns)
{
    std::vector<std::string> cells;
    cells.reserve(columns.size());
    for (const int column : columns)
        cells.push_back(engine.GetFieldValue(column));
    return cells;
}

// Fills the grid's last row and adds an empty one after it.
void AddRow(TVehicleDetailGrid& grid, const std::vector<std::string>& cells)
{
    const int row = grid.RowCount() - 1;
    for (std::size_t index = 0; index < cells.size(); ++index) {
        grid.SetCell(int(index), row, cells[index]);
        grid.FitColumnTo(int(index), cells[index]);
    }
    grid.SetRowCount(row + 2);
}

// Shows the chooser over `grid`; the index of the chosen line, or none when the user chose nothing.
std::optional<std::size_t> RunChooser(const TLookupContext& context, const TVehicleDetailGrid& grid,
                                      std::size_t lineCount)
{
    const std::unique_ptr<IVehicleDetailWindow> window = context.Windows.CreateVehicleDetailWindow();
    LoadVehicleDetailWindow(grid, *window);
    if (window->ShowModal() != mrOk)
        return std::nullopt;
    // Row 1 is the first line; a window that reports no line as current has nothing chosen.
    const int row = window->Row();
    if (row < 1 || std::size_t(row) > lineCount)
        return std::nullopt;
    return std::size_t(row - 1);
}

void SetDeclined(bool* declined, bool value)
{
    if (declined != nullptr)
        *declined = value;
}

} // namespace

bool LookupByYMM(const TLookupContext& context, TVinRecord& record, TChassixModelEntry* modelEntry,
                 const std::string& yearText, const std::string& makeKey, const std::string& modelKey)
{
    IChassixCalls& engine = context.Engine;
    record.VIN.clear();
    record.LookupMode = IsCompCollYear(StrToInt(yearText)) ? 3 : 1;
    engine.GetFirstSubModel(makeKey, yearText, modelKey);
    engine.GetNextSubModel();
    if (engine.GetEndOfModel()) {
        record.VIN = engine.GetModelVIN(makeKey, yearText, modelKey);
        engine.GetRecordByVIN(record);
        return true;
    }
    if (ChooseSubModel(context, record, modelEntry, yearText, makeKey, modelKey)) {
        record.Symbol = 0;
        engine.GetRecordByVIN(record);
        return true;
    }
    return false;
}

bool LookupByVIN(const TLookupContext& context, TVinRecord& record, const std::string& vin, bool* declined)
{
    IChassixCalls& engine = context.Engine;
    SetDeclined(declined, false);
    engine.GetFirstVIN(vin);
    if (engine.GetEndOfVIN())
        return false;
    engine.GetNextVIN();
    if (engine.GetEndOfVIN()) {
        engine.GetRecordByVIN(record);
        return true;
    }
    return ChooseVinMatch(context, record, vin, declined);
}

bool ChooseSubModel(const TLookupContext& context, TVinRecord& record, TChassixModelEntry* modelEntry,
                    const std::string& yearText, const std::string& makeKey, const std::string& modelKey)
{
    TVehicleDetailGrid grid;
    std::vector<std::string> choices;
    const int count = FillSubModelGrid(context.Engine, grid, record, yearText, makeKey, modelKey, choices);
    std::size_t index = 0;
    if (count >= 2) {
        const std::optional<std::size_t> chosen = RunChooser(context, grid, choices.size());
        if (!chosen)
            return false;
        index = *chosen;
    } else if (choices.size() != 1) {
        return false;
    }
    record.VIN = choices[index];
    if (modelEntry != nullptr)
        modelEntry->SetVinText(record.VIN);
    return true;
}

bool ChooseVinMatch(const TLookupContext& context, TVinRecord& record, const std::string& vin, bool* declined)
{
    SetDeclined(declined, false);
    TVehicleDetailGrid grid;
    std::vector<TVinChoice> choices;
    const int count = FillVinGrid(context.Engine, grid, record, vin, choices);
    std::size_t index = 0;
    if (count >= 2) {
        const std::optional<std::size_t> chosen = RunChooser(context, grid, choices.size());
        if (!chosen) {
            SetDeclined(declined, true);
            return false;
        }
        index = *chosen;
    } else if (choices.size() != 1) {
        return false;
    }
    // The match comes from the engine's walk, which knows nothing of the lookup's date: keep ours.
    const TDateTime effective = record.Effective;
    record.Assign(*choices[index].Record);
    record.Effective = effective;
    return true;
}

int FillSubModelGrid(IChassixCalls& engine, TVehicleDetailGrid& grid, const TVinRecord& record,
                     const std::string& yearText, const std::string& makeKey, const std::string& modelKey,
                     std::vector<std::string>& choices)
{
    std::uint16_t set = 0;
    int count = 0;
    std::string model = modelKey;
    std::string caption = "ISO: " + yearText + " " + makeKey;
    engine.GetFirstSubModel(makeKey, yearText, model);
    if (engine.GetEndOfModel()) {
        // Nothing under that model: list every model of the make and year instead.
        model.clear();
        set |= ColumnModelName;
    } else {
        caption = Trim(caption + " " + model);
    }
    grid.SetCaption(caption + " Choices");
    grid.SetDefaultColWidth(ChooserColumnWidth);
    grid.SetRowCount(2);
    set |= engine.GetDifferenceFields(makeKey, yearText, model);
    set |= ColumnVin;
    set |= SymbolColumns(StrToInt(yearText));
    const std::vector<int> columns = AddTitles(grid, set);

    engine.GetFirstSubModel(makeKey, yearText, model);
    std::string lastVin;
    bool walked = false;
    while (!engine.GetEndOfModel()) {
        walked = true;
        const std::string vin = engine.GetFieldValue(ColumnVinNumber);
        if (engine.GetRecordEffective(record.Effective) && vin != lastVin) {
            const std::vector<std::string> cells = ReadCells(engine, columns);
            choices.reserve(choices.size() + 1);
            AddRow(grid, cells);
            choices.push_back(vin);
            lastVin = vin;
            ++count;
        }
        engine.GetNextSubModel();
    }
    if (walked)
        grid.SetRowCount(grid.RowCount() - 1);
    return count;
}

int FillVinGrid(IChassixCalls& engine, TVehicleDetailGrid& grid, const TVinRecord& record,
                const std::string& vin, std::vector<TVinChoice>& choices)
{
    choices.clear();
    int count = 0;
    grid.SetCaption("ISO: " + vin + " Choices");
    grid.SetDefaultColWidth(ChooserColumnWidth);
    grid.SetRowCount(2);
    std::uint16_t set = engine.GetDifferenceFieldsVIN(vin) | ColumnModelName;

    // The symbol columns follow the model year: the record's when the engine already resolved the VIN,
    // else the first line's. The grid is only a list of cells, so the titles can wait for it.
    std::vector<int> columns;
    bool titled = false;
    const auto addTitles = [&](int modelYear) {
        set |= SymbolColumns(modelYear);
        columns = AddTitles(grid, set);
        titled = true;
    };
    if (record.ModelYear > 0)
        addTitles(record.ModelYear);

    engine.GetFirstVIN(vin);
    std::string lastModel;
    bool walked = false;
    while (!engine.GetEndOfVIN()) {
        walked = true;
        try {
            auto match = std::make_unique<TVinRecord>();
            engine.LoadFromCurrentRecord(*match);
            const bool rated = match->RecordKind == 1 || match->RecordKind == 3;
            if (rated && engine.GetRecordEffective(record.Effective) && match->Model != lastModel) {
                if (!titled)
                    addTitles(match->ModelYear);
                const std::vector<std::string> cells = ReadCells(engine, columns);
                std::string model = match->Model;
                lastModel.reserve(model.size());
                choices.reserve(choices.size() + 1);
                AddRow(grid, cells);
                lastModel = model;
                choices.push_back(TVinChoice{std::move(model), std::move(match)});
                ++count;
            }
        } catch (const std::exception&) {
            // This match is left out whole; the walk goes on with the next one.
        }
        engine.GetNextVIN();
    }
    if (!titled)
        addTitles(record.ModelYear);
    if (walked)
        grid.SetRowCount(grid.RowCount() - 1);
    return count;
}

} // namespace carlume
