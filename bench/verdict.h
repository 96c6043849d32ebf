#pragma once

// Every goal of a benchmark ends in one line of the same shape, as bench/verdict.sh prints it for the
// scripts:
//   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): met
//   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): NOT met
// A unit "x" (a ratio) is written without a space.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

enum class VerdictGoal {
    AtMost, ///< met at the limit
    Under,  ///< met only beneath it
};

inline void PrintVerdict(const std::string& what, double value, VerdictGoal relation, double limit,
                         const std::string& unit)
{
    const bool met = relation == VerdictGoal::AtMost ? value <= limit : value < limit;
    const char* gap = unit == "x" ? "" : " ";
    char goal[32];
    std::snprintf(goal, sizeof goal, unit == "x" ? "%.1f" : "%g", limit);
    std::printf("verdict: %s: %.2f%s%s (goal: %s %s%s%s): %s\n", what.c_str(), value, gap, unit.c_str(),
                relation == VerdictGoal::AtMost ? "at most" : "under", goal, gap, unit.c_str(),
                met ? "met" : "NOT met");
}

/// Verdicts kept until every table is printed, then printed in the order they came.
class VerdictList {
public:
    void Add(std::string what, double value, VerdictGoal relation, double limit, std::string unit)
    {
        entries_.push_back({std::move(what), value, relation, limit, std::move(unit)});
    }
    void Print() const
    {
        for (const Entry& entry : entries_)
            PrintVerdict(entry.what, entry.value, entry.relation, entry.limit, entry.unit);
    }

private:
    struct Entry {
        std::string what;
        double value;
        VerdictGoal relation;
        double limit;
        std::string unit;
    };
    std::vector<Entry> entries_;
};
