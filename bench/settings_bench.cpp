// The maintenance tool's preferences read over their three scope files, and the file finder on a tree of
// 100,000 files in turns with `find DIR -iname '*ver' ! -type d` (Google Benchmark). Printed at the end as
// verdicts: the preferences' median wall time over repetitions (goal: under 2 ms on a disk) and the median
// of the finder's ratios to find, run by run (goal: at most 1.0x). The files go below $TMPDIR, else /tmp;
// the file system is named with the result.

#include "platform/string_list.h"
#include "settings/file_finder.h"
#include "settings/pm_maint_prefs.h"

#include "bench/benchmark_options.h"
#include "bench/in_turns.h"
#include "bench/verdict.h"

#include <benchmark/benchmark.h>

#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path& Root()
{
    static const fs::path root = [] {
        fs::path path = fs::temp_directory_path() / ("carlume-settings-bench-" + std::to_string(::getpid()));
        fs::create_directories(path / "tool" / "RollBackup");
        fs::create_directories(path / "windows");
        const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TSCSettings>\r\n";
        std::ofstream(path / "tool" / "PMMaintd.xml")
            << head
            << "\t<Backup>\r\n\t\t<Enabled>1</Enabled>\r\n\t\t<Capacity>30</Capacity>\r\n\t</Backup>\r\n"
            << "\t<Email>\r\n\t\t<EmailAddress>support@example.com</EmailAddress>\r\n\t</Email>\r\n</"
               "TSCSettings>\r\n";
        std::ofstream(path / "tool" / "PMMainta.xml")
            << head
            << "\t<AutoCleanup>\r\n\t\t<Enabled>0</Enabled>\r\n\t</AutoCleanup>\r\n</TSCSettings>\r\n";
        std::ofstream(path / "windows" / "PMMaintu.xml")
            << head
            << "\t<TraceBackup>\r\n\t\t<Enabled>1</Enabled>\r\n\t</TraceBackup>\r\n</TSCSettings>\r\n";
        ::setenv("WINDIR", (path / "windows").c_str(), 1);
        // 100,000 files in 1,000 folders two levels deep; one in ten ends in "ver".
        for (int folder = 0; folder < 1000; ++folder) {
            const fs::path dir = path / "tree" / std::to_string(folder / 50) / std::to_string(folder);
            fs::create_directories(dir);
            for (int file = 0; file < 100; ++file)
                std::ofstream(dir / ("file" + std::to_string(file) + (file % 10 == 0 ? ".ver" : ".dat")));
        }
        return path;
    }();
    return root;
}

void MaintenancePreferences(benchmark::State& state)
{
    const std::string folder = (Root() / "tool").string();
    for (auto _ : state) {
        carlume::TPMMaint_Prefs prefs(folder);
        benchmark::DoNotOptimize(prefs.EmailAddress);
    }
}
BENCHMARK(MaintenancePreferences)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// "tmpfs" or "a disk", for the file system below `path`.
std::string FileSystemOf(const fs::path& path)
{
    struct statfs info {};
    constexpr long kTmpfsMagic = 0x01021994;
    return ::statfs(path.c_str(), &info) == 0 && long(info.f_type) == kTmpfsMagic ? "tmpfs" : "a disk";
}

constexpr int kFinderRuns = 15;

// Each iteration runs the finder and find once, in turns (which goes first alternates), on the wall clock:
// a busy spell of the machine falls on both. The counters are the medians of each side and of the ratio
// within each pair.
void FinderAgainstFind(benchmark::State& state)
{
    const std::string tree = (Root() / "tree").string();
    const std::string command = "find " + tree + " -iname '*ver' ! -type d > /dev/null";
    const auto seconds = [](const auto& run) {
        const auto start = std::chrono::steady_clock::now();
        run();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    bool failed = false;
    const auto finder = [&] {
        carlume::TStringList found;
        carlume::FindFilesByExt(tree, "ver", found);
        failed = failed || found.Count() != 10000;
    };
    const auto find = [&] { failed = failed || std::system(command.c_str()) != 0; };
    const TTurns turns = TimeInTurns(
        state, [&] { return seconds(finder); }, [&] { return seconds(find); });
    if (failed) {
        state.SkipWithError("the finder missed files, or find failed");
        return;
    }
    state.counters["finder_ms"] = Median(turns.First) * 1e3;
    state.counters["find_ms"] = Median(turns.Second) * 1e3;
    state.counters["ratio"] = Median(turns.Ratios);
}
BENCHMARK(FinderAgainstFind)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kFinderRuns);

// The kept run of the first benchmark whose name starts with `prefix`, or null.
const benchmark::BenchmarkReporter::Run* KeptRun(const TMedianReporter& reporter, std::string_view prefix)
{
    for (const auto& [name, run] : reporter.Kept())
        if (name.starts_with(prefix))
            return &run;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    TBenchmarkOptions options(argc, argv);
    TMedianReporter reporter(options.ConsoleOptions());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    if (const auto* preferences = KeptRun(reporter, "MaintenancePreferences"))
        PrintVerdict("maintenance preferences read on " + FileSystemOf(Root()) + " (" + Root().string() +
                         "), median wall time",
                     preferences->GetAdjustedRealTime(), VerdictGoal::Under, 2, "ms");
    if (const auto* finder = KeptRun(reporter, "FinderAgainstFind"))
        PrintVerdict("file finder against find on 100,000 files, median of " + std::to_string(kFinderRuns) +
                         " runs in turns",
                     double(finder->counters.at("ratio")), VerdictGoal::AtMost, 1, "x");
    // Here, not at exit: the folder's path is gone by the time exit handlers run.
    std::error_code ignored;
    fs::remove_all(Root(), ignored);
    return VerdictExitStatus();
}
