#pragma once

// Two sides of a comparison timed in turns: each iteration runs both once, the one that goes first
// alternating, so that a busy spell of the machine falls on both; the figures compared are medians.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

/// The middle value (the upper one of an even count); `values` must not be empty.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// The seconds of each side's runs, and the ratio of the first side to the second within each pair.
struct TTurns {
    std::vector<double> First;
    std::vector<double> Second;
    std::vector<double> Ratios;
};

/// Runs `first` and `second` in turns, once each for every iteration of `state`; each returns the seconds it
/// took, and the iteration counts their sum as its manual time.
template <class FirstSide, class SecondSide>
TTurns TimeInTurns(benchmark::State& state, const FirstSide& first, const SecondSide& second)
{
    TTurns turns;
    for (auto _ : state) {
        const bool firstGoesFirst = turns.First.size() % 2 == 0;
        const double early = firstGoesFirst ? first() : second();
        const double late = firstGoesFirst ? second() : first();
        turns.First.push_back(firstGoesFirst ? early : late);
        turns.Second.push_back(firstGoesFirst ? late : early);
        turns.Ratios.push_back(turns.First.back() / turns.Second.back());
        state.SetIterationTime(early + late);
    }
    return turns;
}
