#include "lookup/vin_record.h"

#include "components/date_util.h"
#include "foundation/string_helpers.h"
#include "platform/date_time.h"
#include "platform/sysutils.h"

#include <utility>

namespace carlume {

namespace {

// Years up to this one give no "Effective" line: 01/01/1950 is how a caller asks for the original symbol.
constexpr int LastYearWithoutEffective = 1950;

std::string YesNo(bool value)
{
    return value ? "Yes" : "No or not indicated";
}

class TLineBuilder {
public:
    TLineBuilder(TStringList& lines, bool includeEmpty, const std::string& separator, bool stripLabelSpaces)
        : lines_(lines)
        , includeEmpty_(includeEmpty)
        , separator_(separator)
        , stripLabelSpaces_(stripLabelSpaces)
    {
    }

    void Add(std::string_view label, const std::string& value)
    {
        if (!includeEmpty_ && value.empty())
            return;
        std::string line(label);
        if (stripLabelSpaces_)
            std::erase(line, ' ');
        line += separator_;
        line += value;
        lines_.Add(line);
    }

private:
    TStringList& lines_;
    bool includeEmpty_;
    const std::string& separator_;
    bool stripLabelSpaces_;
};

} // namespace

void TVinRecord::Clear()
{
    FWD = false;
    Cylinders = 0;
    VIN.clear();
    OtherInfo.clear();
    TransmissionInfo.clear();
    BodyInfo.clear();
    RestraintInfo.clear();
    Make.clear();
    Model.clear();
    EngineInfo.clear();
    ModelInfo.clear();
    Body.clear();
    Effective = Now();
    PassiveRestraints = 0;
    SpecialEngineType = SpecialEngineTypeNone;
    AuxSet = 0;
    Performance = 0;
    Symbol = 0;
    VehicleClass.clear();
    AntiTheft = 0;
    DaytimeRunningLamps = 0;
    ABS = 0;
    NonVSRSymbol = 0;
    ModelYear = 0;
    LookupMode = 1;
    AuxText.clear();
    HighTheft = false;
    StateExceptions.clear();
    CompSymbol = 0;
    CollSymbol = 0;
    PriceSymbol = 0;
}

void TVinRecord::Assign(const TVinRecord& source)
{
    if (&source == this)
        return;
    FWD = source.FWD;
    Cylinders = source.Cylinders;
    VIN = source.VIN;
    OtherInfo = source.OtherInfo;
    TransmissionInfo = source.TransmissionInfo;
    BodyInfo = source.BodyInfo;
    RestraintInfo = source.RestraintInfo;
    Make = source.Make;
    Model = source.Model;
    EngineInfo = source.EngineInfo;
    ModelInfo = source.ModelInfo;
    Body = source.Body;
    Effective = source.Effective;
    PassiveRestraints = source.PassiveRestraints;
    SpecialEngineType = source.SpecialEngineType;
    AuxSet = source.AuxSet;
    Performance = source.Performance;
    Symbol = source.Symbol;
    VehicleClass = source.VehicleClass;
    AntiTheft = source.AntiTheft;
    DaytimeRunningLamps = source.DaytimeRunningLamps;
    ABS = source.ABS;
    NonVSRSymbol = source.NonVSRSymbol;
    ModelYear = source.ModelYear;
    LookupMode = source.LookupMode;
    AuxText = source.AuxText;
    HighTheft = source.HighTheft;
    StateExceptions = source.StateExceptions;
    CompSymbol = source.CompSymbol;
    CollSymbol = source.CollSymbol;
    PriceSymbol = source.PriceSymbol;
}

std::unique_ptr<TStringList> TVinRecord::ToStrings(bool includeEmpty, const std::string& separator,
                                                   bool stripLabelSpaces) const
{
    auto lines = std::make_unique<TStringList>();
    TLineBuilder line(*lines, includeEmpty, separator, stripLabelSpaces);

    line.Add("Model Year", IntToStr(ModelYear));
    line.Add("Make", Trim(Make));
    line.Add("Model", Trim(Model));
    line.Add("Vehicle Class", Trim(VehicleClass));
    line.Add("VIN", VIN);
    if (ModelYear < FirstCompCollModelYear) {
        line.Add("Symbol", IntToStr(Symbol));
    } else {
        line.Add("Comp Symbol", IntToStr(CompSymbol));
        line.Add("Collision Symbol", IntToStr(CollSymbol));
    }
    line.Add("Performance", NameOf(PerformanceNames, Performance));
    // Bits beyond the tables name nothing and are skipped.
    for (unsigned bit = 0; bit < AntiTheftNames.size(); ++bit) {
        if (AntiTheft & (1U << bit))
            line.Add("Anti Theft Device", Trim(AntiTheftNames[bit]));
    }
    for (unsigned bit = 0; bit < RestraintNames.size(); ++bit) {
        if (PassiveRestraints & (1U << bit))
            line.Add("Passive Restraint", Trim(RestraintNames[bit]));
    }
    line.Add("High Theft", YesNo(HighTheft));
    line.Add("ABS", NameOf(AvailabilityNames, ABS));
    line.Add("Cylinders", IntToStr(Cylinders));
    line.Add("Special Engine Type", NameOf(EngineTypeNames, SpecialEngineType));
    line.Add("Body", Trim(Body));
    line.Add("FWD", YesNo(FWD));
    line.Add("Model Info", Trim(ModelInfo));
    line.Add("Body Info", Trim(BodyInfo));
    line.Add("Engine Info", Trim(EngineInfo));
    line.Add("Restraint Info", Trim(RestraintInfo));
    line.Add("Transmission Info", Trim(TransmissionInfo));
    line.Add("Other Info", Trim(OtherInfo));
    line.Add("Daytime Running Lamps", NameOf(AvailabilityNames, DaytimeRunningLamps));
    line.Add("Non VSR Symbol", IntToStr(NonVSRSymbol));
    line.Add("State Exceptions", Trim(StateExceptions));
    // The engine may write anything here; a value that is no date gives no line.
    if (ValidDate(Effective) && ExtractYear(Effective) > LastYearWithoutEffective)
        line.Add("Effective", DateToStr(Effective));
    line.Add("Comp_Symbol", IntToStr(CompSymbol));
    line.Add("Coll_Symbol", IntToStr(CollSymbol));
    line.Add("Price_Symbol", IntToStr(PriceSymbol));
    return lines;
}

void TVinRecord::SaveToFile(const std::string& fileName, bool stripLabelSpaces) const
{
    std::unique_ptr<TStringList> lines = ToStrings(true, "=", stripLabelSpaces);
    // A line break inside a value would split its line and hand the caller a made-up key.
    for (int i = 0; i < lines->Count(); ++i) {
        if ((*lines)[i].find_first_of("\r\n") != std::string::npos)
            lines->Put(i, SingleLine((*lines)[i]));
    }
    lines->Insert(0, std::string(VehiclePropertiesSection));
    // The calling program reads the file once this process has ended: it must be on the disk by then.
    lines->SaveToFile(fileName, TWriteMode::Durable);
}

} // namespace carlume
