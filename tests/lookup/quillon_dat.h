#pragma once

#include <string>

namespace carlume::test {

// The hand-back file of the 2010 Arvelo Quillon, looked up today.
inline const std::string kQuillonDat = "[VehicleProperties]\r\n"
                                       "ModelYear=2010\r\n"
                                       "Make=Arvelo\r\n"
                                       "Model=Quillon\r\n"
                                       "VehicleClass=Compact\r\n"
                                       "VIN=1AVQL14S1A\r\n"
                                       "Symbol=11\r\n"
                                       "Performance=Standard\r\n"
                                       "AntiTheftDevice=Alarm\r\n"
                                       "AntiTheftDevice=Passive Disabling\r\n"
                                       "PassiveRestraint=Driver\r\n"
                                       "PassiveRestraint=Passenger\r\n"
                                       "HighTheft=No or not indicated\r\n"
                                       "ABS=Standard\r\n"
                                       "Cylinders=4\r\n"
                                       "SpecialEngineType=None\r\n"
                                       "Body=4D SED\r\n"
                                       "FWD=Yes\r\n"
                                       "ModelInfo=4D Sedan\r\n"
                                       "BodyInfo=Sedan 4 Door\r\n"
                                       "EngineInfo=2.0L I4\r\n"
                                       "RestraintInfo=Dual front airbags\r\n"
                                       "TransmissionInfo=Automatic\r\n"
                                       "OtherInfo=\r\n"
                                       "DaytimeRunningLamps=Optional\r\n"
                                       "NonVSRSymbol=11\r\n"
                                       "StateExceptions=\r\n"
                                       "Effective=12/6/2026\r\n"
                                       "Comp_Symbol=0\r\n"
                                       "Coll_Symbol=0\r\n"
                                       "Price_Symbol=5\r\n";

} // namespace carlume::test
