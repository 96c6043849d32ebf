// The exported entry points. Each variant of the library is built from this file with
// CHASSIX_FAKE_OMIT_<Entry> defined, which leaves that one export out.
#include "lookup/chassix_abi.h"
#include "standins/chassix/chassix_engine.h"
#include "standins/chassix/chassix_test_control.h"

using carlume::chassix_fake::TheEngine;

#ifndef CHASSIX_FAKE_OMIT_ChassixStart
int32_t ChassixStart(void)
{
    return TheEngine().Start();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixStop
int32_t ChassixStop(void)
{
    return TheEngine().Stop();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetDifferenceFields
uint16_t ChassixGetDifferenceFields(const char* makeKey, const char* yearText, const char* modelKey)
{
    return TheEngine().GetDifferenceFields(makeKey, yearText, modelKey);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetEarliestSymbolYearAvailable
int32_t ChassixGetEarliestSymbolYearAvailable(void)
{
    return TheEngine().GetEarliestSymbolYearAvailable();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetFieldValue
void ChassixGetFieldValue(char** value, int32_t column)
{
    TheEngine().GetFieldValue(value, column);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetFirstSubModel
int32_t ChassixGetFirstSubModel(const char* makeKey, const char* yearText, const char* modelKey)
{
    return TheEngine().GetFirstSubModel(makeKey, yearText, modelKey);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetNextSubModel
int32_t ChassixGetNextSubModel(void)
{
    return TheEngine().GetNextSubModel();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetEndOfModel
uint8_t ChassixGetEndOfModel(void)
{
    return TheEngine().GetEndOfModel();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetListOfMakes
int32_t ChassixGetListOfMakes(ChassixList* makes)
{
    return TheEngine().GetListOfMakes(makes);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetListOfModels
int32_t ChassixGetListOfModels(ChassixList* models, const ChassixEntry* make, const char* yearText)
{
    return TheEngine().GetListOfModels(models, make, yearText);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetModelAlwaysRatesSame
uint8_t ChassixGetModelAlwaysRatesSame(const char* makeKey, const char* yearText, const char* modelKey)
{
    return TheEngine().GetModelAlwaysRatesSame(makeKey, yearText, modelKey);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetModelVIN
int32_t ChassixGetModelVIN(char** vin, const char* makeKey, const char* yearText, const char* modelKey)
{
    return TheEngine().GetModelVIN(vin, makeKey, yearText, modelKey);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetRecordByVIN
uint8_t ChassixGetRecordByVIN(ChassixVinRecord* record)
{
    return TheEngine().GetRecordByVIN(record);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetRecordByYMM
uint8_t ChassixGetRecordByYMM(ChassixVinRecord* record)
{
    return TheEngine().GetRecordByYMM(record);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixSetSuppressMessages
int32_t ChassixSetSuppressMessages(int32_t suppress)
{
    return TheEngine().SetSuppressMessages(suppress);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetRecordEffective
uint8_t ChassixGetRecordEffective(double effective)
{
    return TheEngine().GetRecordEffective(effective);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetFirstVIN
int32_t ChassixGetFirstVIN(const char* vin)
{
    return TheEngine().GetFirstVIN(vin);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetEndOfVIN
uint8_t ChassixGetEndOfVIN(void)
{
    return TheEngine().GetEndOfVIN();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetNextVIN
int32_t ChassixGetNextVIN(void)
{
    return TheEngine().GetNextVIN();
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetDifferenceFieldsVIN
uint16_t ChassixGetDifferenceFieldsVIN(const char* vin)
{
    return TheEngine().GetDifferenceFieldsVIN(vin);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixLoadFromCurrentRecord
int32_t ChassixLoadFromCurrentRecord(ChassixVinRecord* record)
{
    return TheEngine().LoadFromCurrentRecord(record);
}
#endif

#ifndef CHASSIX_FAKE_OMIT_ChassixGetMinVinSizePermitted
int32_t ChassixGetMinVinSizePermitted(void)
{
    return TheEngine().GetMinVinSizePermitted();
}
#endif

char* ChassixFakeJournalText(void)
{
    return TheEngine().JournalText();
}

void ChassixFakeReset(void)
{
    TheEngine().Reset();
}

int32_t ChassixFakeLiveEntries(void)
{
    return TheEngine().LiveEntries();
}

int32_t ChassixFakeConfigure(const char* key, const char* value)
{
    return TheEngine().Configure(key, value);
}
