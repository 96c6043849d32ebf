#include "lookup/vin_search.h"

#include "foundation/window_helpers.h"
#include "platform/sysutils.h"

namespace carlume {

namespace {

void ClearTo(TVinRecord& record, const std::string& vin, TDateTime effective)
{
    record.Clear();
    record.VIN = vin;
    record.Effective = effective;
}

} // namespace

TSuppressEngineMessages::TSuppressEngineMessages(IChassixCalls& engine)
    : engine_(engine)
{
    engine_.SetSuppressMessages(1);
    on_ = true;
}

TSuppressEngineMessages::~TSuppressEngineMessages()
{
    if (!on_)
        return;
    try {
        engine_.SetSuppressMessages(0);
    } catch (...) {
        // Already on the way out with an error; that one is the one to report.
    }
}

void TSuppressEngineMessages::Off()
{
    on_ = false;
    engine_.SetSuppressMessages(0);
}

std::string ShortVinMessage(int minimum)
{
    return "VIN must be at least " + IntToStr(minimum) + " characters in order for a lookup to occur";
}

TVinSearchResult SearchByVIN(const TVinSearchContext& context, TVinRecord& record, const std::string& vinText,
                             TDateTime effective, const TVinLookupStarting& lookupStarting)
{
    IChassixCalls& engine = context.Lookup.Engine;
    const std::string vin = Trim(vinText);
    const std::int32_t minimum = engine.GetMinVinSizePermitted();
    if (std::int64_t(vin.size()) < std::int64_t(minimum)) {
        ShowInfoMessage(context.Services, ShortVinMessage(minimum));
        return TVinSearchResult::InvalidVin;
    }
    ClearTo(record, vin, effective);

    bool declined = false;
    {
        TSuppressEngineMessages suppress(engine);
        bool found = engine.GetRecordByVIN(record);
        if (!found) {
            record.LookupMode = 3;
            found = engine.GetRecordByVIN(record);
        }
        // Nothing found silently: the engine may speak for itself while its matches are walked.
        if (!found)
            engine.SetSuppressMessages(0);
        if (!vin.empty()) {
            record.Effective = effective;
            if (lookupStarting)
                lookupStarting(vin);
            LookupByVIN(context.Lookup, record, vin, &declined);
        }
        suppress.Off();
    }
    // A vehicle the user turned down in the chooser is no result, whatever the engine filled in first.
    if (declined || record.ModelYear <= 0) {
        if (declined)
            ClearTo(record, vin, effective);
        return TVinSearchResult::NotFound;
    }
    record.VIN = vin;
    return TVinSearchResult::Found;
}

TDateTime DateFieldDate(TDateTime date)
{
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    TDateTime whole = 0;
    if (!TryDecodeDate(date, year, month, day) || !TryEncodeDate(year, month, day, whole))
        return 0;
    return whole;
}

} // namespace carlume
