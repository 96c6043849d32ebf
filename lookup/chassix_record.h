#pragma once

// A record in the engine's C form, for the span of one engine call. It is filled from a `TVinRecord`,
// handed to the engine, and copied back; every text it holds lives on the C heap and is freed with it,
// whichever side allocated it last.

#include "lookup/chassix_abi.h"
#include "lookup/vin_record.h"

namespace carlume {

/// A `ChassixVinRecord` that owns its texts.
class TChassixRecord {
public:
    /// A copy of every field of `source`, the engine's own ones included; empty texts become NULL.
    explicit TChassixRecord(const TVinRecord& source);
    /// Frees every text the record holds.
    ~TChassixRecord();
    TChassixRecord(const TChassixRecord&) = delete;
    TChassixRecord& operator=(const TChassixRecord&) = delete;

    /// The structure to hand to the engine.
    ChassixVinRecord* Data() { return &record_; }
    /// The structure as the engine left it.
    const ChassixVinRecord& Record() const { return record_; }
    /// Copies every field back into `target`, the engine's own ones included; NULL texts become empty,
    /// any non-zero Boolean byte true.
    void CopyTo(TVinRecord& target) const;

private:
    ChassixVinRecord record_{};
};

} // namespace carlume
