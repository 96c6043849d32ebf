#pragma once

// The VIN search of the lookup window without the window: the part that works on the record and the
// engine. The window calls it and then shows the outcome; the silent command-line lookup calls it on its
// own, with no window at all.

#include "lookup/chassix_ui.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/services.h"

#include <functional>
#include <string>

namespace carlume {

/// What a VIN search came to.
enum class TVinSearchResult {
    InvalidVin, ///< the VIN was shorter than the engine's minimum; the record is untouched
    NotFound,   ///< nothing found, or the chooser was cancelled; the record holds only VIN and date
    Found,      ///< the record holds the vehicle, with the VIN as searched
};

/// What a VIN search works with.
struct TVinSearchContext {
    TLookupContext Lookup;         ///< the engine and the chooser windows
    TApplicationServices Services; ///< for the message about a short VIN
};

/// Called with the search criteria (the VIN) just before the engine's matches are walked, while a chooser
/// may still come up; the window shows "Lookup by " and the criteria there.
using TVinLookupStarting = std::function<void(const std::string& criteria)>;

/// Switches the engine's own messages off for its lifetime: on at construction, off again by `Off` or, at
/// the latest, when it goes out of scope (an error while switching off then is dropped, as another error
/// is already on its way).
class TSuppressEngineMessages {
public:
    /// Calls `SetSuppressMessages(1)`.
    explicit TSuppressEngineMessages(IChassixCalls& engine);
    /// Calls `SetSuppressMessages(0)` unless `Off` did.
    ~TSuppressEngineMessages();
    TSuppressEngineMessages(const TSuppressEngineMessages&) = delete;
    TSuppressEngineMessages& operator=(const TSuppressEngineMessages&) = delete;
    /// Calls `SetSuppressMessages(0)`; errors go to the caller.
    void Off();

private:
    IChassixCalls& engine_;
    bool on_ = false;
};

/// The message shown for a VIN shorter than `minimum`.
std::string ShortVinMessage(int minimum);

/// Searches `vinText` (trimmed) at `effective`:
/// - shorter than the engine's minimum: an information message, nothing else; `InvalidVin`;
/// - otherwise the record is cleared to the VIN and `effective`, the engine is asked (silenced) in lookup
///   mode 1 and then 3, and its matches are walked (`LookupByVIN`), a chooser coming up for several.
/// The engine's message suppression is switched off again on every way out, errors included. Found when
/// the record then holds a model year, unless a chooser was cancelled: a declined vehicle leaves the record
/// as a search that found nothing. A found record carries the VIN as searched.
TVinSearchResult SearchByVIN(const TVinSearchContext& context, TVinRecord& record, const std::string& vinText,
                             TDateTime effective, const TVinLookupStarting& lookupStarting = {});

/// The date a date field holds after it was set to `date`: the whole day (no time); `NullDate` (0) for a
/// value that is no date.
TDateTime DateFieldDate(TDateTime date);

} // namespace carlume
