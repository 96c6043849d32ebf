#pragma once

// Records for the printed report's tests: the fewest lines a found vehicle prints, a typical vehicle, and
// one with every line the record can have.

#include "lookup/vin_record.h"

namespace carlume::test {

/// Year, make, model and symbol only.
inline void FillShort(TVinRecord& record)
{
    record.Clear();
    record.ModelYear = 2010;
    record.Make = "Acme";
    record.Model = "Roadster GT";
    record.Symbol = 14;
}

/// A vehicle as a VIN search finds it; some descriptive texts stay empty.
inline void FillTypical(TVinRecord& record)
{
    FillShort(record);
    record.VehicleClass = "Sports";
    record.VIN = "1AVQL14S1A";
    record.Cylinders = 6;
    record.Body = "2D CPE";
}

/// Every device and restraint, every text filled.
inline void FillLong(TVinRecord& record)
{
    FillTypical(record);
    record.AntiTheft = 0x1FF;
    record.PassiveRestraints = 0xFF;
    record.ModelInfo = "Base";
    record.BodyInfo = "Coupe";
    record.EngineInfo = "V6";
    record.RestraintInfo = "Front";
    record.TransmissionInfo = "Manual";
    record.OtherInfo = "None";
    record.StateExceptions = "MA";
}

} // namespace carlume::test
