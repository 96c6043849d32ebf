#pragma once

// A scripted vehicle-symbol engine for the searches and choosers: walks over items the test lists, a
// journal of every call, and a failure at a chosen call.

#include "lookup/chassix_calls.h"
#include "lookup/vehicle_detail.h"
#include "platform/modal_result.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace carlume::test {

/// One walk item.
struct TFakeItem {
    std::string MakeKey;                  ///< sub-model walk: the make key it belongs to
    std::string Year;                     ///< sub-model walk: the year text it belongs to
    std::string ModelKey;                 ///< sub-model walk: the model key it belongs to
    std::array<std::string, 16> Fields{}; ///< `GetFieldValue` texts; 15 is the VIN text
    bool Valid = true;                    ///< `GetRecordEffective` answer
    std::string Model;                    ///< VIN walk: `LoadFromCurrentRecord` model name
    std::int32_t ModelYear = 0;           ///< VIN walk: model year
    std::int32_t RecordKind = 1;          ///< VIN walk: kind (1 and 3 are rated)
    std::int32_t Symbol = 0;              ///< VIN walk: symbol
};

/// The engine, scripted.
class TFakeChassix : public IChassixCalls {
public:
    /// Items of the sub-model walk.
    std::vector<TFakeItem> SubModels;
    /// Items of the VIN walk (for any VIN).
    std::vector<TFakeItem> VinMatches;
    /// `GetDifferenceFields` and `GetDifferenceFieldsVIN` answers.
    std::uint16_t DifferenceFields = 0;
    std::uint16_t DifferenceFieldsVIN = 0;
    /// `GetMinVinSizePermitted` answer.
    std::int32_t MinVin = 10;
    /// `GetModelVIN` answer.
    std::string ModelVin;
    /// `GetRecordByVIN`: fills the record and answers; by default nothing is found.
    std::function<bool(TVinRecord&)> RecordByVIN;

    /// Every call, one line each, e.g. "GetRecordByVIN vin=X mode=1 eff=46000".
    std::vector<std::string> Journal;
    /// The journal lines that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const;
    /// The `occurrence`-th call (1 = first) of `name` raises `std::runtime_error`.
    void FailAt(const std::string& name, int occurrence);

    std::int32_t GetEarliestSymbolYearAvailable() override;
    std::int32_t GetMinVinSizePermitted() override;
    void SetSuppressMessages(std::int32_t suppress) override;
    bool GetRecordByVIN(TVinRecord& record) override;
    void LoadFromCurrentRecord(TVinRecord& record) override;
    void GetListOfMakes(TStringList& makes) override;
    void GetListOfModels(TStringList& models, const TChassixMakeEntry& make,
                         const std::string& yearText) override;
    std::uint16_t GetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                      const std::string& modelKey) override;
    void GetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                          const std::string& modelKey) override;
    void GetNextSubModel() override;
    bool GetEndOfModel() override;
    std::string GetModelVIN(const std::string& makeKey, const std::string& yearText,
                            const std::string& modelKey) override;
    std::string GetFieldValue(std::int32_t column) override;
    bool GetRecordEffective(TDateTime effective) override;
    void GetFirstVIN(const std::string& vin) override;
    bool GetEndOfVIN() override;
    void GetNextVIN() override;
    std::uint16_t GetDifferenceFieldsVIN(const std::string& vin) override;

private:
    void Enter(const std::string& name, const std::string& line);
    const TFakeItem* Current() const;

    std::map<std::string, int> counts_;
    std::map<std::string, int> failAt_;
    std::vector<const TFakeItem*> walk_;
    std::size_t position_ = 0;
};

/// What one chooser window was given and how it was shown.
struct TChooserRecord {
    std::string Caption;
    int DefaultColWidth = 0;
    int ColCount = 0;
    int RowCount = 0;
    std::map<std::pair<int, int>, std::string> Cells; ///< (column, row) -> text
    std::map<int, int> ColWidths;                     ///< column -> width
    bool Shown = false;
    /// The cells of one row, in column order.
    std::vector<std::string> Row(int row) const;
};

/// Makes fake chooser windows: each is answered from a queue (modal result and current row) and leaves a
/// record of what it was given. Text width is 6 pixels a byte.
class TFakeVehicleDetailFactory : public IVehicleDetailWindowFactory {
public:
    /// The next window shown answers `result` with `row` current.
    void QueueAnswer(TModalResult result, int row);
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;
    /// Every window made, in order.
    const std::vector<TChooserRecord>& Windows() const { return windows_; }
    /// Answers not used yet.
    std::size_t PendingAnswers() const { return answers_.size(); }

private:
    friend class TFakeVehicleDetailWindow;
    std::vector<TChooserRecord> windows_;
    std::vector<std::pair<TModalResult, int>> answers_;
};

} // namespace carlume::test
