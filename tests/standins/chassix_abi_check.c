/* The engine interface compiled as C: what a C engine or a C host sees of it. */
#include "lookup/chassix_abi.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/standins/chassix_record_fields.h"

#include <stddef.h>

#define CHASSIX_CHECK_NAME(Name, Result, Params) #Name,
const char* const kChassixAbiCNames[] = {CHASSIX_ENTRY_POINTS(CHASSIX_CHECK_NAME)};
#undef CHASSIX_CHECK_NAME
const size_t kChassixAbiCNameCount = sizeof kChassixAbiCNames / sizeof kChassixAbiCNames[0];

typedef struct ChassixCTable {
#define CHASSIX_CHECK_MEMBER(Name, Result, Params) PFN_##Name Name;
    CHASSIX_ENTRY_POINTS(CHASSIX_CHECK_MEMBER)
#undef CHASSIX_CHECK_MEMBER
} ChassixCTable;
const size_t kChassixAbiCTableSize = sizeof(ChassixCTable);

/* Record offsets in declaration order, then the record size. */
#define CHASSIX_CHECK_OFFSET(Field) offsetof(ChassixVinRecord, Field),
const size_t kChassixAbiCRecord[] = {
    CHASSIX_TEST_RECORD_FIELDS(CHASSIX_CHECK_OFFSET) sizeof(ChassixVinRecord)};
#undef CHASSIX_CHECK_OFFSET
const size_t kChassixAbiCRecordCount = sizeof kChassixAbiCRecord / sizeof kChassixAbiCRecord[0];

const size_t kChassixAbiCEntry[] = {offsetof(ChassixEntry, Destroy), offsetof(ChassixEntry, EngineData),
                                    offsetof(ChassixEntry, Text2), offsetof(ChassixEntry, Text3),
                                    sizeof(ChassixEntry)};
const size_t kChassixAbiCList[] = {offsetof(ChassixList, Context), offsetof(ChassixList, Add),
                                   sizeof(ChassixList)};
