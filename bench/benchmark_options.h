#pragma once

// Google Benchmark started as every benchmark program starts it: the program's default options ahead of
// the user's, who may override each, and colour codes only on a terminal. (Google Benchmark itself looks at
// TERM alone, so output sent to a file would carry them.)

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class TBenchmarkOptions {
public:
    /// Calls `benchmark::Initialize` with `argv` and each of `defaults` ("--name=value") that `argv` does
    /// not set; Google Benchmark removes the options it knows.
    TBenchmarkOptions(int argc, char** argv, std::vector<std::string> defaults = {})
    {
        const auto given = [&](std::string_view option) -> const char* {
            const std::string_view name = option.substr(0, option.find('='));
            for (int i = 1; i < argc; ++i) {
                const std::string_view arg(argv[i]);
                if (arg.starts_with(name) && (arg.size() == name.size() || arg[name.size()] == '='))
                    return argv[i];
            }
            return nullptr;
        };
        // "auto", or no choice, means a terminal; the decision goes last, as the last of an option wins.
        colour_ = isatty(STDOUT_FILENO) != 0;
        if (const char* chosen = given("--benchmark_color")) {
            const std::string_view option(chosen);
            const std::size_t at = option.find('=');
            const std::string_view value = at == std::string_view::npos ? "true" : option.substr(at + 1);
            if (value != "auto")
                colour_ = value == "true" || value == "yes" || value == "on" || value == "1";
        }
        storage_.assign(argv, argv + argc);
        for (const std::string& option : defaults)
            if (given(option) == nullptr)
                storage_.insert(storage_.begin() + 1, option);
        storage_.push_back(colour_ ? "--benchmark_color=true" : "--benchmark_color=false");
        for (std::string& arg : storage_)
            args_.push_back(arg.data());
        count_ = int(args_.size());
        args_.push_back(nullptr);
        benchmark::Initialize(&count_, args_.data());
    }

    /// True when it reports (and prints an error for) an argument Google Benchmark does not know.
    bool ReportUnrecognized() { return benchmark::ReportUnrecognizedArguments(count_, args_.data()); }

    /// The options of a console reporter of the program's own: tables, coloured as decided above.
    benchmark::ConsoleReporter::OutputOptions ConsoleOptions() const
    {
        return colour_ ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular;
    }

private:
    bool colour_ = false;
    std::vector<std::string> storage_;
    std::vector<char*> args_;
    int count_ = 0;
};

/// A console report that keeps, for each benchmark, the run its figures are read from: the median of its
/// repetitions when it is repeated, else its one run. Runs that failed are not kept.
class TMedianReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.iterations > 0;
            if (run.error_occurred || !(median || single))
                continue;
            const std::string name = run.run_name.str();
            if (median || !medians_.contains(name))
                kept_.insert_or_assign(name, run);
            if (median)
                medians_[name] = true;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// The kept runs by benchmark name.
    const std::map<std::string, Run>& Kept() const { return kept_; }

private:
    std::map<std::string, Run> kept_;
    std::map<std::string, bool> medians_;
};
