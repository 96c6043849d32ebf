#pragma once

// The database engine the program opens at start-up. No table is ever opened, so the engine is an
// in-process stand-in: it hands out engine handles and records every call in a journal that tests read.

#include <string>
#include <vector>

namespace carlume {

/// An engine handle.
struct CODE4;

/// Opens an engine and returns its handle (never null).
CODE4* code4initP();
/// Sets the open mode of an engine; 0, or -1 for a handle that is not open.
int code4singleOpen(CODE4* engine, short mode);
/// Sets how often an engine retries a lock; 0, or -1 for a handle that is not open.
int code4lockAttempts(CODE4* engine, int attempts);
/// Closes an engine; the handle is gone afterwards. Returns 0, or -1 for a handle that is not open.
int code4initUndo(CODE4* engine);

/// One recorded engine call.
struct TCodeBaseCall {
    std::string Function; ///< "code4initP", "code4singleOpen", "code4lockAttempts" or "code4initUndo"
    CODE4* Engine;        ///< the handle returned or passed
    int Argument;         ///< the setting passed (0 when the call takes none)
    bool operator==(const TCodeBaseCall&) const = default;
};

/// Every engine call since the start or the last `ResetCodeBaseJournal`, in order.
std::vector<TCodeBaseCall> CodeBaseJournal();
/// Empties the journal.
void ResetCodeBaseJournal();
/// Number of engines opened and not yet closed.
int OpenCodeBaseEngines();

} // namespace carlume
