/*
 * The interface between cquery and the vehicle-symbol engine library (libchassix.so).
 *
 * Shared by the program and by every engine built for it; usable from C11 and C++. The program loads the
 * library with dlopen and resolves the 22 entry points of CHASSIX_ENTRY_POINTS by name, in that order.
 *
 * Rules both sides keep:
 *  - Memory. Every text and object reachable from a record or a list entry lives on the C heap: it is
 *    allocated with malloc (strdup) and released with free, by whichever side holds it last. To assign a
 *    text field, free the old text and store a malloc'ed copy, or NULL for the empty text.
 *  - Texts are NUL-terminated single-byte text. An input text is NULL when empty. An output text
 *    (`char**`) is assigned by the engine as above; the caller frees what it finally holds.
 *  - Booleans are bytes: 0 is false, any other value true.
 *  - Column sets are 16 bits; bit n stands for chooser column n (0 "Model Name" ... 15 "VIN").
 *  - Results described as "ignored" are a status the program does not read; engines return 0.
 *  - Errors. Entry points may throw C++ exceptions derived from std::exception (program and engine are
 *    built with the same toolchain); the program reports their what() text. An engine written in C never
 *    throws, it returns instead.
 *  - Engine state (the walks, the suppress-messages flag) is global; one thread calls the engine.
 *  - List entries belong to the program once added and are released only through their Destroy
 *    function, which lives in the library: destroy every entry before the library is unloaded.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define CHASSIX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#else
#define CHASSIX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#if defined(__GNUC__)
#define CHASSIX_EXPORT __attribute__((visibility("default")))
#else
#define CHASSIX_EXPORT
#endif

/** One vehicle's data as the engine fills it. Field order and scalar widths are fixed; the layout is
 *  natural alignment (pinned below for 64-bit targets). */
typedef struct ChassixVinRecord {
    uint32_t StructSize; /* the program sets sizeof(ChassixVinRecord); an engine may check it */
    uint8_t FWD;         /* Boolean */
    int32_t Cylinders;
    char* VIN;
    char* OtherInfo;
    char* TransmissionInfo;
    char* BodyInfo;
    char* RestraintInfo;
    char* Make;
    char* Model;
    char* EngineInfo;
    char* ModelInfo;
    char* Body;
    double Effective;          /* days since 1899-12-30, time of day as the fraction */
    uint8_t PassiveRestraints; /* bit i = restraint i (0-7) */
    uint8_t SpecialEngineType; /* 0-4 */
    uint16_t AuxSet;           /* engine-private; the program carries it */
    uint8_t Performance;       /* 0-4 */
    int32_t Symbol;            /* model years before 2011 */
    char* VehicleClass;
    uint16_t AntiTheft;          /* bit i = device i (0-8) */
    uint8_t DaytimeRunningLamps; /* 0-3 */
    uint8_t ABS;                 /* 0-3 */
    int32_t NonVSRSymbol;
    int32_t ModelYear;  /* 0 = no vehicle */
    int32_t LookupMode; /* input: 1, or 3 for 2011 on and for a second VIN try */
    char* AuxText;      /* engine-private; the program carries it */
    uint8_t HighTheft;  /* Boolean */
    char* StateExceptions;
    int32_t CompSymbol; /* model years from 2011 on */
    int32_t CollSymbol; /* model years from 2011 on */
    int32_t PriceSymbol;
    int32_t AuxValue;   /* engine-private; never cleared or copied by the program */
    int32_t RecordKind; /* set by the engine; 1 and 3 are rated records */
} ChassixVinRecord;

/** The engine object attached to one line of a make or model list. */
typedef struct ChassixEntry {
    /** Releases the entry and everything it owns; the only way to free an entry. */
    void (*Destroy)(struct ChassixEntry* self);
    /** Engine-private. */
    void* EngineData;
    /** Make entry: the make key, read by the program and passed back to the engine.
     *  Model entry: a VIN text the program writes (free the old text, store a malloc'ed copy). */
    char* Text2;
    /** Model entry: the model key, read by the program. Make entry: NULL. */
    char* Text3;
} ChassixEntry;

/** A list the engine appends lines to (make list, model list). */
typedef struct ChassixList {
    void* Context;
    /** Appends one line: `text` is copied by the program; `entry` becomes the program's in every case,
     *  also when Add fails by throwing. */
    void (*Add)(void* context, const char* text, ChassixEntry* entry);
} ChassixList;

/*
 * The entry points, in resolution order: X(Name, Result, (Parameters)).
 *
 *  1 ChassixStart, 2 ChassixStop: start and stop the engine; the program stops only a started engine.
 *  3 ChassixGetDifferenceFields: the columns in which the sub-models of make, year, model differ.
 *  4 ChassixGetEarliestSymbolYearAvailable: the first year of the year list.
 *  5 ChassixGetFieldValue: the current walk item's text for a column 0-15 (NULL when none).
 *  6 ChassixGetFirstSubModel, 7 ChassixGetNextSubModel, 8 ChassixGetEndOfModel: the sub-model walk of a
 *    make key, year text and model key; EndOf is false while a current item exists.
 *  9 ChassixGetListOfMakes: one line per make; Text2 of each entry is the make key.
 * 10 ChassixGetListOfModels: one line per model of a make entry and a year; Text3 is the model key.
 * 11 ChassixGetModelAlwaysRatesSame: resolved, never called.
 * 12 ChassixGetModelVIN: the VIN text of a model with one sub-model.
 * 13 ChassixGetRecordByVIN: fills the record from its VIN, LookupMode and Effective; a found vehicle has
 *    ModelYear above 0.
 * 14 ChassixGetRecordByYMM: resolved, never called.
 * 15 ChassixSetSuppressMessages: 1 = the engine shows no messages of its own, 0 = it may again.
 * 16 ChassixGetRecordEffective: whether the current walk item is valid at the date.
 * 17 ChassixGetFirstVIN, 18 ChassixGetEndOfVIN, 19 ChassixGetNextVIN: the walk over the vehicles that
 *    match a VIN.
 * 20 ChassixGetDifferenceFieldsVIN: the columns in which those vehicles differ.
 * 21 ChassixLoadFromCurrentRecord: fills the record from the current VIN-walk item, RecordKind and Model
 *    included.
 * 22 ChassixGetMinVinSizePermitted: the shortest VIN the engine looks up.
 */
/* clang-format off */
#define CHASSIX_ENTRY_POINTS(X)                                                                              \
    X(ChassixStart, int32_t, (void))                                                                         \
    X(ChassixStop, int32_t, (void))                                                                          \
    X(ChassixGetDifferenceFields, uint16_t,                                                                  \
      (const char* makeKey, const char* yearText, const char* modelKey))                                     \
    X(ChassixGetEarliestSymbolYearAvailable, int32_t, (void))                                                \
    X(ChassixGetFieldValue, void, (char** value, int32_t column))                                            \
    X(ChassixGetFirstSubModel, int32_t,                                                                      \
      (const char* makeKey, const char* yearText, const char* modelKey))                                     \
    X(ChassixGetNextSubModel, int32_t, (void))                                                               \
    X(ChassixGetEndOfModel, uint8_t, (void))                                                                 \
    X(ChassixGetListOfMakes, int32_t, (ChassixList* makes))                                                  \
    X(ChassixGetListOfModels, int32_t,                                                                       \
      (ChassixList* models, const ChassixEntry* make, const char* yearText))                                 \
    X(ChassixGetModelAlwaysRatesSame, uint8_t,                                                               \
      (const char* makeKey, const char* yearText, const char* modelKey))                                     \
    X(ChassixGetModelVIN, int32_t,                                                                           \
      (char** vin, const char* makeKey, const char* yearText, const char* modelKey))                         \
    X(ChassixGetRecordByVIN, uint8_t, (ChassixVinRecord* record))                                            \
    X(ChassixGetRecordByYMM, uint8_t, (ChassixVinRecord* record))                                            \
    X(ChassixSetSuppressMessages, int32_t, (int32_t suppress))                                               \
    X(ChassixGetRecordEffective, uint8_t, (double effective))                                                \
    X(ChassixGetFirstVIN, int32_t, (const char* vin))                                                        \
    X(ChassixGetEndOfVIN, uint8_t, (void))                                                                   \
    X(ChassixGetNextVIN, int32_t, (void))                                                                    \
    X(ChassixGetDifferenceFieldsVIN, uint16_t, (const char* vin))                                            \
    X(ChassixLoadFromCurrentRecord, int32_t, (ChassixVinRecord* record))                                     \
    X(ChassixGetMinVinSizePermitted, int32_t, (void))
/* clang-format on */

#define CHASSIX_ENTRY_POINT_COUNT 22

/* PFN_<Name>: the pointer type the program stores for each entry point. */
#define CHASSIX_DECLARE_PFN(Name, Result, Params) typedef Result(*PFN_##Name) Params;
CHASSIX_ENTRY_POINTS(CHASSIX_DECLARE_PFN)
#undef CHASSIX_DECLARE_PFN

/* The exports an engine defines. The program never calls them directly, only through dlsym. */
#define CHASSIX_DECLARE_EXPORT(Name, Result, Params) CHASSIX_EXPORT Result Name Params;
CHASSIX_ENTRY_POINTS(CHASSIX_DECLARE_EXPORT)
#undef CHASSIX_DECLARE_EXPORT

/* The layout, pinned for 64-bit targets (both sides compile this header, so it agrees elsewhere too). */
#if defined(__LP64__)
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, StructSize) == 0, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, FWD) == 4, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Cylinders) == 8, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, VIN) == 16, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, OtherInfo) == 24, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, TransmissionInfo) == 32, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, BodyInfo) == 40, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, RestraintInfo) == 48, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Make) == 56, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Model) == 64, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, EngineInfo) == 72, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, ModelInfo) == 80, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Body) == 88, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Effective) == 96, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, PassiveRestraints) == 104, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, SpecialEngineType) == 105, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, AuxSet) == 106, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Performance) == 108, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, Symbol) == 112, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, VehicleClass) == 120, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, AntiTheft) == 128, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, DaytimeRunningLamps) == 130, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, ABS) == 131, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, NonVSRSymbol) == 132, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, ModelYear) == 136, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, LookupMode) == 140, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, AuxText) == 144, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, HighTheft) == 152, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, StateExceptions) == 160, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, CompSymbol) == 168, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, CollSymbol) == 172, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, PriceSymbol) == 176, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, AuxValue) == 180, "record layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixVinRecord, RecordKind) == 184, "record layout");
CHASSIX_STATIC_ASSERT(sizeof(ChassixVinRecord) == 192, "record layout");

CHASSIX_STATIC_ASSERT(offsetof(ChassixEntry, Destroy) == 0, "entry layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixEntry, EngineData) == 8, "entry layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixEntry, Text2) == 16, "entry layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixEntry, Text3) == 24, "entry layout");
CHASSIX_STATIC_ASSERT(sizeof(ChassixEntry) == 32, "entry layout");

CHASSIX_STATIC_ASSERT(offsetof(ChassixList, Context) == 0, "list layout");
CHASSIX_STATIC_ASSERT(offsetof(ChassixList, Add) == 8, "list layout");
CHASSIX_STATIC_ASSERT(sizeof(ChassixList) == 16, "list layout");
#endif

CHASSIX_STATIC_ASSERT(sizeof(double) == 8, "the effective date is an 8-byte IEEE double");

#ifdef __cplusplus
} /* extern "C" */
#endif
