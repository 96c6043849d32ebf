// The maintenance tool's preferences read over their three scope files, and the file finder on a tree of
// 100,000 files beside `find DIR -iname '*ver' ! -type d` (Google Benchmark). Printed at the end as
// verdicts: the preferences' wall time (goal: under 2 ms on a disk) and the finder's ratio to find (goal:
// at most 1.0x). The files go below $TMPDIR, else /tmp; the file system is named with the result.

#include "platform/string_list.h"
#include "settings/file_finder.h"
#include "settings/pm_maint_prefs.h"

#include "bench/verdict.h"

#include <benchmark/benchmark.h>

#include <sys/vfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

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

double preferencesSeconds = 0, finderSeconds = 0, findSeconds = 0;

void MaintenancePreferences(benchmark::State& state)
{
    const std::string folder = (Root() / "tool").string();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        carlume::TPMMaint_Prefs prefs(folder);
        benchmark::DoNotOptimize(prefs.EmailAddress);
    }
    preferencesSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                         double(state.iterations());
}
BENCHMARK(MaintenancePreferences)->Unit(benchmark::kMillisecond)->UseRealTime();

// "tmpfs" or "a disk", for the file system below `path`.
std::string FileSystemOf(const fs::path& path)
{
    struct statfs info {};
    constexpr long kTmpfsMagic = 0x01021994;
    return ::statfs(path.c_str(), &info) == 0 && long(info.f_type) == kTmpfsMagic ? "tmpfs" : "a disk";
}

void FileFinder(benchmark::State& state)
{
    const std::string tree = (Root() / "tree").string();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        carlume::TStringList found;
        carlume::FindFilesByExt(tree, "ver", found);
        if (found.Count() != 10000)
            state.SkipWithError("wrong count");
        finderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(finderSeconds);
    }
}
BENCHMARK(FileFinder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void Find(benchmark::State& state)
{
    const std::string command = "find " + (Root() / "tree").string() + " -iname '*ver' ! -type d > /dev/null";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find failed");
        findSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(findSeconds);
    }
}
BENCHMARK(Find)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    if (preferencesSeconds > 0)
        PrintVerdict("maintenance preferences read on " + FileSystemOf(Root()) + " (" + Root().string() +
                         "), wall time",
                     preferencesSeconds * 1000, VerdictGoal::Under, 2, "ms");
    if (findSeconds > 0)
        PrintVerdict("file finder against find on 100,000 files (last run)", finderSeconds / findSeconds,
                     VerdictGoal::AtMost, 1, "x");
    // Here, not at exit: the folder's path is gone by the time exit handlers run.
    std::error_code ignored;
    fs::remove_all(Root(), ignored);
    return 0;
}
