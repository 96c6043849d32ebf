#pragma once

// Every goal of a benchmark ends in one line of the same shape, as bench/verdict.sh prints it for the
// scripts:
//   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): met
//   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): NOT met
// A unit "x" (a ratio) is written without a space. A program ends with `return VerdictExitStatus();`: 1 when
// a goal was NOT met.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

enum class VerdictGoal {
    AtMost, ///< met at the limit
    Under,  ///< met only beneath it
};

/// The number of goals NOT met so far.
inline int& VerdictsNotMet()
{
    static int count = 0;
    return count;
}

inline int VerdictExitStatus()
{
    return VerdictsNotMet() > 0 ? 1 : 0;
}

inline void PrintVerdict(const std::string& what, double value, VerdictGoal relation, double limit,
                         const std::string& unit)
{
    // A value that is not a number (nothing measured) meets no goal.
    const bool met = relation == VerdictGoal::AtMost ? value <= limit : value < limit;
    if (!met)
        ++VerdictsNotMet();
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
