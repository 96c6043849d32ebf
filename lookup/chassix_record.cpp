#include "lookup/chassix_record.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace carlume {

namespace {

// Every text field of the C record, for the destructor.
constexpr char* ChassixVinRecord::*TextFields[] = {&ChassixVinRecord::VIN,
                                                   &ChassixVinRecord::OtherInfo,
                                                   &ChassixVinRecord::TransmissionInfo,
                                                   &ChassixVinRecord::BodyInfo,
                                                   &ChassixVinRecord::RestraintInfo,
                                                   &ChassixVinRecord::Make,
                                                   &ChassixVinRecord::Model,
                                                   &ChassixVinRecord::EngineInfo,
                                                   &ChassixVinRecord::ModelInfo,
                                                   &ChassixVinRecord::Body,
                                                   &ChassixVinRecord::VehicleClass,
                                                   &ChassixVinRecord::AuxText,
                                                   &ChassixVinRecord::StateExceptions};

char* CopyText(const std::string& text)
{
    if (text.empty())
        return nullptr;
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr)
        throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

std::string TextOf(const char* text)
{
    return text != nullptr ? std::string(text) : std::string();
}

} // namespace

TChassixRecord::TChassixRecord(const TVinRecord& source)
{
    record_.StructSize = sizeof(ChassixVinRecord);
    try {
        record_.FWD = source.FWD ? 1 : 0;
        record_.Cylinders = source.Cylinders;
        record_.VIN = CopyText(source.VIN);
        record_.OtherInfo = CopyText(source.OtherInfo);
        record_.TransmissionInfo = CopyText(source.TransmissionInfo);
        record_.BodyInfo = CopyText(source.BodyInfo);
        record_.RestraintInfo = CopyText(source.RestraintInfo);
        record_.Make = CopyText(source.Make);
        record_.Model = CopyText(source.Model);
        record_.EngineInfo = CopyText(source.EngineInfo);
        record_.ModelInfo = CopyText(source.ModelInfo);
        record_.Body = CopyText(source.Body);
        record_.Effective = source.Effective;
        record_.PassiveRestraints = source.PassiveRestraints;
        record_.SpecialEngineType = source.SpecialEngineType;
        record_.AuxSet = source.AuxSet;
        record_.Performance = source.Performance;
        record_.Symbol = source.Symbol;
        record_.VehicleClass = CopyText(source.VehicleClass);
        record_.AntiTheft = source.AntiTheft;
        record_.DaytimeRunningLamps = source.DaytimeRunningLamps;
        record_.ABS = source.ABS;
        record_.NonVSRSymbol = source.NonVSRSymbol;
        record_.ModelYear = source.ModelYear;
        record_.LookupMode = source.LookupMode;
        record_.AuxText = CopyText(source.AuxText);
        record_.HighTheft = source.HighTheft ? 1 : 0;
        record_.StateExceptions = CopyText(source.StateExceptions);
        record_.CompSymbol = source.CompSymbol;
        record_.CollSymbol = source.CollSymbol;
        record_.PriceSymbol = source.PriceSymbol;
        record_.AuxValue = source.AuxValue;
        record_.RecordKind = source.RecordKind;
    } catch (...) {
        for (auto field : TextFields)
            std::free(record_.*field);
        throw;
    }
}

TChassixRecord::~TChassixRecord()
{
    for (auto field : TextFields)
        std::free(record_.*field);
}

void TChassixRecord::CopyTo(TVinRecord& target) const
{
    target.FWD = record_.FWD != 0;
    target.Cylinders = record_.Cylinders;
    target.VIN = TextOf(record_.VIN);
    target.OtherInfo = TextOf(record_.OtherInfo);
    target.TransmissionInfo = TextOf(record_.TransmissionInfo);
    target.BodyInfo = TextOf(record_.BodyInfo);
    target.RestraintInfo = TextOf(record_.RestraintInfo);
    target.Make = TextOf(record_.Make);
    target.Model = TextOf(record_.Model);
    target.EngineInfo = TextOf(record_.EngineInfo);
    target.ModelInfo = TextOf(record_.ModelInfo);
    target.Body = TextOf(record_.Body);
    target.Effective = record_.Effective;
    target.PassiveRestraints = record_.PassiveRestraints;
    target.SpecialEngineType = record_.SpecialEngineType;
    target.AuxSet = record_.AuxSet;
    target.Performance = record_.Performance;
    target.Symbol = record_.Symbol;
    target.VehicleClass = TextOf(record_.VehicleClass);
    target.AntiTheft = record_.AntiTheft;
    target.DaytimeRunningLamps = record_.DaytimeRunningLamps;
    target.ABS = record_.ABS;
    target.NonVSRSymbol = record_.NonVSRSymbol;
    target.ModelYear = record_.ModelYear;
    target.LookupMode = record_.LookupMode;
    target.AuxText = TextOf(record_.AuxText);
    target.HighTheft = record_.HighTheft != 0;
    target.StateExceptions = TextOf(record_.StateExceptions);
    target.CompSymbol = record_.CompSymbol;
    target.CollSymbol = record_.CollSymbol;
    target.PriceSymbol = record_.PriceSymbol;
    target.AuxValue = record_.AuxValue;
    target.RecordKind = record_.RecordKind;
}

} // namespace carlume
