/*
 * Test controls of the stand-in engine. cquery never resolves these names; tests reach them with dlsym.
 *
 * Settings come from the environment when the library is loaded and on ChassixFakeReset:
 *   CHASSIX_FAKE_JOURNAL=<file>          every journal line is also appended to that file
 *   CHASSIX_FAKE_THROW=<Entry>[,<Entry>] those entry points throw
 *                                        std::runtime_error("Chassix stand-in failure in <Entry>")
 *   CHASSIX_FAKE_MIN_VIN=<n>             ChassixGetMinVinSizePermitted returns n (default 10)
 *   CHASSIX_FAKE_EARLIEST_YEAR=<year>    ChassixGetEarliestSymbolYearAvailable returns it (default 2009)
 * ChassixFakeConfigure changes them afterwards, in-process.
 *
 * The journal holds one line per call: the entry point, its arguments and its result, for example
 * "ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46000 -> 1", or "... -> throw <message>".
 * The in-memory journal goes away when the library is unloaded; checks that span an unload read the file.
 */
#pragma once

#include "lookup/chassix_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

#define CHASSIX_FAKE_ENV_JOURNAL "CHASSIX_FAKE_JOURNAL"
#define CHASSIX_FAKE_ENV_THROW "CHASSIX_FAKE_THROW"
#define CHASSIX_FAKE_ENV_MIN_VIN "CHASSIX_FAKE_MIN_VIN"
#define CHASSIX_FAKE_ENV_EARLIEST_YEAR "CHASSIX_FAKE_EARLIEST_YEAR"

/*
 * X(Name, Result, (Parameters)):
 *  ChassixFakeJournalText: the journal so far, every line ending in "\n"; malloc'ed, the caller frees it.
 *  ChassixFakeReset: clears the journal and restores the settings of the environment. The engine's own
 *    state (started, walks, suppress flag, live entries) is kept, so a program using it is not disturbed.
 *  ChassixFakeLiveEntries: list entries handed out and not yet destroyed.
 *  ChassixFakeConfigure: sets "throw" (entry names separated by commas; "" for none), "min_vin",
 *    "earliest_year" or "journal_file" ("" for none); 1 when done, 0 for an unknown key or a bad number.
 */
#define CHASSIX_FAKE_CONTROLS(X)                                                                             \
    X(ChassixFakeJournalText, char*, (void))                                                                 \
    X(ChassixFakeReset, void, (void))                                                                        \
    X(ChassixFakeLiveEntries, int32_t, (void))                                                               \
    X(ChassixFakeConfigure, int32_t, (const char* key, const char* value))

#define CHASSIX_DECLARE_PFN(Name, Result, Params) typedef Result(*PFN_##Name) Params;
CHASSIX_FAKE_CONTROLS(CHASSIX_DECLARE_PFN)
#undef CHASSIX_DECLARE_PFN

#define CHASSIX_DECLARE_EXPORT(Name, Result, Params) CHASSIX_EXPORT Result Name Params;
CHASSIX_FAKE_CONTROLS(CHASSIX_DECLARE_EXPORT)
#undef CHASSIX_DECLARE_EXPORT

#ifdef __cplusplus
} /* extern "C" */
#endif
