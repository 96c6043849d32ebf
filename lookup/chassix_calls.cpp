#include "lookup/chassix_calls.h"

namespace carlume {

namespace {

class TLoadedChassixCalls final : public IChassixCalls {
public:
    std::int32_t GetEarliestSymbolYearAvailable() override { return ChassixGetEarliestSymbolYearAvailable(); }
    std::int32_t GetMinVinSizePermitted() override { return ChassixGetMinVinSizePermitted(); }
    void SetSuppressMessages(std::int32_t suppress) override { ChassixSetSuppressMessages(suppress); }
    bool GetRecordByVIN(TVinRecord& record) override { return ChassixGetRecordByVIN(record); }
    void LoadFromCurrentRecord(TVinRecord& record) override { ChassixLoadFromCurrentRecord(record); }
    void GetListOfMakes(TStringList& makes) override { ChassixGetListOfMakes(makes); }
    void GetListOfModels(TStringList& models, const TChassixMakeEntry& make,
                         const std::string& yearText) override
    {
        ChassixGetListOfModels(models, make, yearText);
    }
    std::uint16_t GetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                      const std::string& modelKey) override
    {
        return ChassixGetDifferenceFields(makeKey, yearText, modelKey);
    }
    void GetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                          const std::string& modelKey) override
    {
        ChassixGetFirstSubModel(makeKey, yearText, modelKey);
    }
    void GetNextSubModel() override { ChassixGetNextSubModel(); }
    bool GetEndOfModel() override { return ChassixGetEndOfModel(); }
    std::string GetModelVIN(const std::string& makeKey, const std::string& yearText,
                            const std::string& modelKey) override
    {
        return ChassixGetModelVIN(makeKey, yearText, modelKey);
    }
    std::string GetFieldValue(std::int32_t column) override { return ChassixGetFieldValue(column); }
    bool GetRecordEffective(TDateTime effective) override { return ChassixGetRecordEffective(effective); }
    void GetFirstVIN(const std::string& vin) override { ChassixGetFirstVIN(vin); }
    bool GetEndOfVIN() override { return ChassixGetEndOfVIN(); }
    void GetNextVIN() override { ChassixGetNextVIN(); }
    std::uint16_t GetDifferenceFieldsVIN(const std::string& vin) override
    {
        return ChassixGetDifferenceFieldsVIN(vin);
    }
};

} // namespace

IChassixCalls& LoadedChassixCalls()
{
    static TLoadedChassixCalls calls;
    return calls;
}

} // namespace carlume
