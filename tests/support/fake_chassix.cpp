#include "tests/support/fake_chassix.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace carlume::test {

namespace {

std::string ShowDate(TDateTime date)
{
    std::string text = std::to_string(date);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

std::vector<std::string> TFakeChassix::Calls(const std::string& prefix) const
{
    std::vector<std::string> lines;
    for (const std::string& line : Journal) {
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

void TFakeChassix::FailAt(const std::string& name, int occurrence)
{
    failAt_[name] = occurrence;
}

void TFakeChassix::Enter(const std::string& name, const std::string& line)
{
    Journal.push_back(line.empty() ? name : name + " " + line);
    const int count = ++counts_[name];
    const auto fail = failAt_.find(name);
    if (fail != failAt_.end() && fail->second == count)
        throw std::runtime_error("fake engine failure in " + name);
}

const TFakeItem* TFakeChassix::Current() const
{
    return position_ < walk_.size() ? walk_[position_] : nullptr;
}

std::int32_t TFakeChassix::GetEarliestSymbolYearAvailable()
{
    Enter("GetEarliestSymbolYearAvailable", "");
    return 2009;
}

std::int32_t TFakeChassix::GetMinVinSizePermitted()
{
    Enter("GetMinVinSizePermitted", "");
    return MinVin;
}

void TFakeChassix::SetSuppressMessages(std::int32_t suppress)
{
    Enter("SetSuppressMessages", std::to_string(suppress));
}

bool TFakeChassix::GetRecordByVIN(TVinRecord& record)
{
    Enter("GetRecordByVIN", "vin=" + record.VIN + " mode=" + std::to_string(record.LookupMode) + " eff=" +
                                ShowDate(record.Effective) + " symbol=" + std::to_string(record.Symbol));
    return RecordByVIN ? RecordByVIN(record) : false;
}

void TFakeChassix::LoadFromCurrentRecord(TVinRecord& record)
{
    Enter("LoadFromCurrentRecord", "");
    const TFakeItem* item = Current();
    if (item == nullptr)
        return;
    record.VIN = item->Fields[15];
    record.Model = item->Model;
    record.ModelYear = item->ModelYear;
    record.RecordKind = item->RecordKind;
    record.Symbol = item->Symbol;
    record.Make = item->MakeKey;
}

void TFakeChassix::GetListOfMakes(TStringList&)
{
    Enter("GetListOfMakes", "");
}

void TFakeChassix::GetListOfModels(TStringList&, const TChassixMakeEntry&, const std::string& yearText)
{
    Enter("GetListOfModels", yearText);
}

std::uint16_t TFakeChassix::GetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                                const std::string& modelKey)
{
    Enter("GetDifferenceFields", makeKey + "/" + yearText + "/" + modelKey);
    return DifferenceFields;
}

void TFakeChassix::GetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                                    const std::string& modelKey)
{
    Enter("GetFirstSubModel", makeKey + "/" + yearText + "/" + modelKey);
    walk_.clear();
    position_ = 0;
    for (const TFakeItem& item : SubModels) {
        if (item.MakeKey == makeKey && item.Year == yearText &&
            (modelKey.empty() || item.ModelKey == modelKey))
            walk_.push_back(&item);
    }
}

void TFakeChassix::GetNextSubModel()
{
    Enter("GetNextSubModel", "");
    if (position_ < walk_.size())
        ++position_;
}

bool TFakeChassix::GetEndOfModel()
{
    Enter("GetEndOfModel", "");
    return position_ >= walk_.size();
}

std::string TFakeChassix::GetModelVIN(const std::string& makeKey, const std::string& yearText,
                                      const std::string& modelKey)
{
    Enter("GetModelVIN", makeKey + "/" + yearText + "/" + modelKey);
    return ModelVin;
}

std::string TFakeChassix::GetFieldValue(std::int32_t column)
{
    Enter("GetFieldValue", std::to_string(column));
    const TFakeItem* item = Current();
    if (item == nullptr || column < 0 || column > 15)
        return {};
    return item->Fields[std::size_t(column)];
}

bool TFakeChassix::GetRecordEffective(TDateTime effective)
{
    Enter("GetRecordEffective", ShowDate(effective));
    const TFakeItem* item = Current();
    return item != nullptr && item->Valid;
}

void TFakeChassix::GetFirstVIN(const std::string& vin)
{
    Enter("GetFirstVIN", vin);
    walk_.clear();
    position_ = 0;
    for (const TFakeItem& item : VinMatches)
        walk_.push_back(&item);
}

bool TFakeChassix::GetEndOfVIN()
{
    Enter("GetEndOfVIN", "");
    return position_ >= walk_.size();
}

void TFakeChassix::GetNextVIN()
{
    Enter("GetNextVIN", "");
    if (position_ < walk_.size())
        ++position_;
}

std::uint16_t TFakeChassix::GetDifferenceFieldsVIN(const std::string& vin)
{
    Enter("GetDifferenceFieldsVIN", vin);
    return DifferenceFieldsVIN;
}

// --- chooser windows --------------------------------------------------------------------------------------

std::vector<std::string> TChooserRecord::Row(int row) const
{
    std::vector<std::string> cells;
    for (int column = 0; column < ColCount; ++column) {
        const auto cell = Cells.find({column, row});
        cells.push_back(cell != Cells.end() ? cell->second : std::string());
    }
    return cells;
}

class TFakeVehicleDetailWindow final : public IVehicleDetailWindow {
public:
    TFakeVehicleDetailWindow(TFakeVehicleDetailFactory& factory, std::size_t index)
        : factory_(factory)
        , index_(index)
    {
    }
    void SetCaption(const std::string& caption) override { Record().Caption = caption; }
    void SetDefaultColWidth(int width) override { Record().DefaultColWidth = width; }
    void SetColCount(int count) override { Record().ColCount = count; }
    void SetRowCount(int count) override { Record().RowCount = count; }
    void SetCell(int column, int row, const std::string& text) override
    {
        Record().Cells[{column, row}] = text;
    }
    void SetColWidth(int column, int width) override { Record().ColWidths[column] = width; }
    int TextWidth(const std::string& text) const override { return 6 * int(text.size()); }
    TModalResult ShowModal() override
    {
        Record().Shown = true;
        if (factory_.answers_.empty()) {
            ADD_FAILURE() << "a chooser was shown that the test did not script: " << Record().Caption;
            return mrCancel;
        }
        const auto answer = factory_.answers_.front();
        factory_.answers_.erase(factory_.answers_.begin());
        row_ = answer.second;
        return answer.first;
    }
    int Row() const override { return row_; }

private:
    TChooserRecord& Record() { return factory_.windows_[index_]; }

    TFakeVehicleDetailFactory& factory_;
    std::size_t index_;
    int row_ = 1;
};

void TFakeVehicleDetailFactory::QueueAnswer(TModalResult result, int row)
{
    answers_.emplace_back(result, row);
}

std::unique_ptr<IVehicleDetailWindow> TFakeVehicleDetailFactory::CreateVehicleDetailWindow()
{
    windows_.emplace_back();
    return std::make_unique<TFakeVehicleDetailWindow>(*this, windows_.size() - 1);
}

} // namespace carlume::test
