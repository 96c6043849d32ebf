// The settings storage against the libraries under it; a full pass is load, read every value, change one
// in ten, save:
//   XmlFullPass      the pass through TtscXMLDataStorageAccess and, in turns with it, a plain Xerces parse
//                    of the same file and a serialisation back to it, written as durably as the storage
//                    writes (a temporary file, synced, renamed over the file, the folder synced), at 10 to
//                    10,000 items in one section and in sections of ten (goal: at most 1.5x of bare Xerces)
//   Storage/Ini      the pass on 1,000 values as an INI file, through TtscINIDataStorageAccess
//   Bare/MemIniFile  the same work straight on the platform's TMemIniFile (goal: at most 1.2x of it at up to
//                    100 items per section)
// Unless told otherwise, these run in repetitions interleaved at random with each other's, and the medians
// are compared at the end; the INI storage runs with 10 to 1,000 items per section.
// Then the INI storage against QSettings (INI format) on the same data, 10 to 10,000 values in one section
// and in sections of ten (goal: at most 1.0x), and ReadSectionTree over 1,000 and 10,000 keys (goal: 10,000
// under 50 ms), timed in turn repetition by repetition and compared by their medians. A verdict line for
// each goal follows the tables. The files go to $BENCH_DIR, else /dev/shm (so that the disk's flush does
// not hide the work), else /tmp.
// Usage: settings_storage [Google Benchmark options]

#include "foundation/shared_values.h"
#include "platform/files.h"
#include "platform/ini_files.h"
#include "settings/ini_data_storage.h"
#include "settings/xml_data_storage.h"

#include "bench/benchmark_options.h"
#include "bench/in_turns.h"
#include "bench/verdict.h"

#include <QSettings>
#include <QString>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace carlume;

namespace {

constexpr int kValues = 1000;
constexpr int kChanged = 100;
const std::vector<int> kItemsPerSection = {10, 25, 50, 100, 250, 500, 1000};
// The INI storage against TMemIniFile: at most 1.2x up to 100 items per section.
constexpr double kMemIniGoal = 1.2;
constexpr int kMemIniGoalItems = 100;

struct Layout {
    std::vector<std::pair<std::string, std::string>> keys; // section, item
};

Layout MakeLayout(int itemsPerSection, int values = kValues)
{
    Layout layout;
    for (int i = 0; i < values; ++i)
        layout.keys.emplace_back("Section" + std::to_string(i / itemsPerSection),
                                 "Item" + std::to_string(i % itemsPerSection));
    return layout;
}

std::string Folder()
{
    if (const char* dir = std::getenv("BENCH_DIR"))
        return dir;
    return std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
}

std::string XmlText(const Layout& layout)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TSCSettings>";
    std::string open;
    for (std::size_t i = 0; i < layout.keys.size(); ++i) {
        const auto& [section, item] = layout.keys[i];
        if (section != open) {
            if (!open.empty())
                text += "\n\t</" + open + ">";
            text += "\n\t<" + section + ">";
            open = section;
        }
        text += "\n\t\t<" + item + ">value " + std::to_string(i) + "</" + item + ">";
    }
    return text + "\n\t</" + open + ">\n</TSCSettings>\n";
}

std::string IniText(const Layout& layout)
{
    std::string text;
    std::string open;
    for (std::size_t i = 0; i < layout.keys.size(); ++i) {
        const auto& [section, item] = layout.keys[i];
        if (section != open) {
            text += (open.empty() ? "[" : "\r\n[") + section + "]\r\n";
            open = section;
        }
        text += item + "=value " + std::to_string(i) + "\r\n";
    }
    return text;
}

// Every tenth value changes, to a text that differs from one pass to the next: a save that finds its file
// already as it would write it writes nothing.
bool Changed(std::size_t i)
{
    return i % (kValues / kChanged) == 0;
}

// The value a pass writes: passes take turns between two, so that every save really changes the file
// (a file whose bytes would not change is not rewritten).
const char* ChangedValue(std::int64_t pass)
{
    return pass % 2 == 0 ? "changed" : "altered";
}

// Load, read every value, change every tenth, save.
template <class Access> void FullPass(const std::string& path, const Layout& layout, std::int64_t pass)
{
    Access storage(path);
    std::string value;
    for (const auto& [section, item] : layout.keys) {
        storage.ReadData(section, item, value);
        benchmark::DoNotOptimize(value);
    }
    for (std::size_t i = 0; i < layout.keys.size(); ++i)
        if (Changed(i))
            storage.WriteData(layout.keys[i].first, layout.keys[i].second, ChangedValue(pass), false);
    storage.UpdateFile();
}

template <class Access>
void StorageRun(benchmark::State& state, const std::string& path, const Layout& layout)
{
    std::int64_t pass = 0;
    for (auto _ : state)
        FullPass<Access>(path, layout, pass++);
}

void StorageIni(benchmark::State& state)
{
    const Layout layout = MakeLayout(int(state.range(0)));
    const std::string path = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + ".ini";
    WriteFileAtomically(path, IniText(layout), TWriteMode::Unsynced);
    StorageRun<TtscINIDataStorageAccess>(state, path, layout);
    std::remove(path.c_str());
}

void BareMemIniFile(benchmark::State& state)
{
    const Layout layout = MakeLayout(int(state.range(0)));
    const std::string path = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + "-bare.ini";
    WriteFileAtomically(path, IniText(layout), TWriteMode::Unsynced);
    std::int64_t pass = 0;
    for (auto _ : state) {
        // Written the way the storage writes settings files.
        TMemIniFile ini(path, TWriteMode::DurableIfChanged);
        for (const auto& [section, item] : layout.keys)
            benchmark::DoNotOptimize(ini.ReadString(section, item, ""));
        for (std::size_t i = 0; i < layout.keys.size(); ++i)
            if (Changed(i))
                ini.WriteString(layout.keys[i].first, layout.keys[i].second, ChangedValue(pass));
        ini.UpdateFile();
        ++pass;
    }
    std::remove(path.c_str());
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->ArgName("items");
    for (const int n : kItemsPerSection)
        b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(StorageIni)->Apply(Sizes);
BENCHMARK(BareMemIniFile)->Apply(Sizes);

std::string Thousands(int n)
{
    std::string text = std::to_string(n);
    for (int at = int(text.size()) - 3; at > 0; at -= 3)
        text.insert(std::size_t(at), ",");
    return text;
}

// Printed last, below every table.
VerdictList verdicts;

// --- the INI storage against QSettings ------------------------------------------------------------------

using Clock = std::chrono::steady_clock;

// Seconds per call of `pass`, over a batch of calls that lasts at least `minimum` seconds.
template <class F> double SecondsPerPass(F&& pass, double minimum = 0.02)
{
    int count = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        pass();
        ++count;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minimum);
    return elapsed / count;
}

// QSettings keeps a file it has read in a process-wide cache and reads it again only when its time stamp
// has changed, so each pass of either side gives the file a new one: both load it every time.
void NewTimeStamp(const std::string& path)
{
    static long seconds = 1000000000;
    const timespec times[2] = {{++seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

void IniStoragePass(const std::string& path, const Layout& layout, std::int64_t pass)
{
    NewTimeStamp(path);
    FullPass<TtscINIDataStorageAccess>(path, layout, pass);
}

void QSettingsPass(const std::string& path, const std::vector<QString>& keys, std::int64_t pass)
{
    NewTimeStamp(path);
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    for (const QString& key : keys)
        benchmark::DoNotOptimize(settings.value(key).toString());
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (Changed(i))
            settings.setValue(keys[i], QString::fromLatin1(ChangedValue(pass)));
    settings.sync();
}

// A full pass of each side on the same values, 10 to 10,000 in one section and in sections of ten.
void CompareIniWithQSettings(int repetitions)
{
    const std::string ours = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + "-ours.ini";
    const std::string qt = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + "-qt.ini";
    std::printf("\nIniQSettings: INI full pass (load, read all, change one in ten, save), medians of %d "
                "interleaved runs\n",
                repetitions);
    std::printf("%-8s %-12s %14s %14s %8s\n", "values", "sections of", "Storage/Ini", "QSettings", "ratio");
    for (const int values : {10, 100, 1000, 10000}) {
        // Ten values in sections of ten are the same as in one section.
        for (const int perSection : values == 10 ? std::vector<int>{10} : std::vector<int>{values, 10}) {
            const Layout layout = MakeLayout(perSection, values);
            std::vector<QString> keys;
            for (const auto& [section, item] : layout.keys)
                keys.push_back(QString::fromStdString(section + "/" + item));
            std::vector<double> ourTimes, qtTimes;
            for (int r = 0; r < repetitions; ++r) {
                WriteFileAtomically(ours, IniText(layout), TWriteMode::Unsynced);
                WriteFileAtomically(qt, IniText(layout), TWriteMode::Unsynced);
                std::int64_t ourPass = 0, qtPass = 0;
                ourTimes.push_back(SecondsPerPass([&] { IniStoragePass(ours, layout, ourPass++); }));
                qtTimes.push_back(SecondsPerPass([&] { QSettingsPass(qt, keys, qtPass++); }));
            }
            const double ratio = Median(ourTimes) / Median(qtTimes);
            std::printf("%-8d %-12s %11.1f us %11.1f us %8.2f\n", values,
                        perSection == values ? "one" : "ten", Median(ourTimes) * 1e6, Median(qtTimes) * 1e6,
                        ratio);
            verdicts.Add("INI full pass against QSettings, " + Thousands(values) + " values " +
                             (perSection == values ? "in one section" : "in sections of ten"),
                         ratio, VerdictGoal::AtMost, 1, "x");
        }
    }
    std::remove(ours.c_str());
    std::remove(qt.c_str());
}

// ReadSectionTree over a section of 1,000 and of 10,000 keys, timed in turn (linear growth is 10x).
void TimeIniSectionTree(int repetitions)
{
    const std::vector<int> sizes = {1000, 10000};
    std::vector<std::unique_ptr<TtscINIDataStorageAccess>> storages;
    for (const int keys : sizes) {
        std::string text = "[Root]\r\n";
        for (int i = 0; i < keys; ++i) // every tenth value names a section of its own
            text += "Key" + std::to_string(i) + "=" + (i % 10 == 0 ? "Branch" : "Leaf") + std::to_string(i) +
                    "\r\n";
        for (int i = 0; i < keys; i += 10)
            text += "[Branch" + std::to_string(i) + "]\r\nA=1\r\nB=2\r\n";
        const std::string path = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + "-tree" +
                                 std::to_string(keys) + ".ini";
        WriteFileAtomically(path, text, TWriteMode::Unsynced);
        storages.push_back(std::make_unique<TtscINIDataStorageAccess>(path));
        std::remove(path.c_str());
    }
    std::vector<std::vector<double>> times(sizes.size());
    for (int r = 0; r < repetitions; ++r)
        for (std::size_t i = 0; i < sizes.size(); ++i)
            times[i].push_back(SecondsPerPass([&] {
                TtscValuesList tree;
                storages[i]->ReadSectionTree("Root", tree);
                benchmark::DoNotOptimize(tree.Children.size());
            }));
    const double small = Median(times[0]) * 1e3;
    const double large = Median(times[1]) * 1e3;
    std::printf("\nIniSectionTree: medians of %d interleaved runs\n", repetitions);
    std::printf("ReadSectionTree, 1,000 keys: %.2f ms; 10,000 keys: %.2f ms (%.1fx)\n", small, large,
                large / small);
    verdicts.Add("ReadSectionTree of 10,000 keys", large, VerdictGoal::Under, 50, "ms");
}

// --- XML rows: 10 to 10,000 items, in one section and in sections of ten -------------------------------
// Each iteration makes one pass through the storage and one bare Xerces pass on the same layout, in turns,
// each timed on the thread's CPU clock: the two meet the same load on a busy machine. The counters are the
// medians of the passes and of the ratio within each pair.

const std::vector<int> kXmlItems = {10, 100, 1000, 10000};
constexpr double kXmlGoal = 1.5;

std::string XmlPath(const char* kind)
{
    return Folder() + "/carlume-bench-" + std::to_string(::getpid()) + kind + ".xml";
}

// Arguments: the number of items, and 1 for sections of ten (else one section).
Layout XmlLayout(const benchmark::State& state)
{
    const int items = int(state.range(0));
    return MakeLayout(state.range(1) != 0 ? 10 : items, items);
}

// The bytes put in place of the file at `path` with plain POSIX calls, as durably as the storage saves
// (but without its other checks): a temporary file in the same folder, synced, renamed over the file, and
// the folder synced.
void WriteDurably(const std::string& path, const XMLByte* bytes, XMLSize_t size)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a file next to " + path);
    bool written = true;
    while (size > 0 && written) {
        const ssize_t count = ::write(fd, bytes, size);
        written = count >= 0 || errno == EINTR;
        if (count > 0) {
            bytes += count;
            size -= XMLSize_t(count);
        }
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw std::runtime_error("cannot write " + path);
    }
    const int folder = ::open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// A plain parse of the file and a serialisation back to it.
void BareXercesPass(const std::string& path)
{
    auto* implementation = static_cast<xercesc::DOMImplementationLS*>(
        xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS"));
    xercesc::XercesDOMParser parser;
    parser.parse(path.c_str());
    xercesc::DOMDocument* document = parser.getDocument();
    if (document == nullptr || parser.getErrorCount() != 0)
        throw std::runtime_error("Xerces cannot read " + path);
    xercesc::DOMLSSerializer* serializer = implementation->createLSSerializer();
    xercesc::DOMLSOutput* output = implementation->createLSOutput();
    xercesc::MemBufFormatTarget target;
    output->setByteStream(&target);
    output->setEncoding(u"UTF-8");
    serializer->write(document, output);
    output->release();
    serializer->release();
    WriteDurably(path, target.getRawBuffer(), target.getLen());
}

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void XmlFullPass(benchmark::State& state)
{
    const Layout layout = XmlLayout(state);
    const std::string path = XmlPath("");
    const std::string barePath = XmlPath("-bare");
    WriteFileAtomically(path, XmlText(layout), TWriteMode::Unsynced);
    WriteFileAtomically(barePath, XmlText(layout), TWriteMode::Unsynced);
    xercesc::XMLPlatformUtils::Initialize();
    const auto timed = [](const auto& pass) {
        const double start = ThreadSeconds();
        pass();
        return ThreadSeconds() - start;
    };
    std::int64_t pass = 0;
    const auto storagePass = [&] { FullPass<TtscXMLDataStorageAccess>(path, layout, pass++); };
    const auto barePass = [&] { BareXercesPass(barePath); };
    try {
        storagePass(); // the first passes fill the caches and the allocator's pools
        barePass();
        const TTurns turns = TimeInTurns(
            state, [&] { return timed(storagePass); }, [&] { return timed(barePass); });
        state.counters["storage_us"] = Median(turns.First) * 1e6;
        state.counters["bare_us"] = Median(turns.Second) * 1e6;
        state.counters["ratio"] = Median(turns.Ratios);
    } catch (const std::exception& error) { // a file gone or spoilt under the benchmark
        state.SkipWithError(error.what());
    }
    xercesc::XMLPlatformUtils::Terminate();
    std::remove(path.c_str());
    std::remove(barePath.c_str());
}

void XmlSizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"items", "sections_of_ten"});
    for (const int n : kXmlItems) {
        b->Args({n, 0});
        b->Args({n, 1});
    }
    b->UseManualTime()->Unit(benchmark::kMicrosecond);
}

BENCHMARK(XmlFullPass)->Apply(XmlSizes);

// One line per size and layout.
void PrintXmlRatios(const std::map<std::string, benchmark::BenchmarkReporter::Run>& runs)
{
    std::printf("\nXML full pass against bare Xerces (CPU time, medians; the ratio within each pair)\n"
                "%-8s %-18s %14s %14s %8s\n",
                "items", "layout", "Xml/Storage", "Xml/Bare", "ratio");
    for (const int n : kXmlItems)
        for (const int tens : {0, 1}) {
            const auto row = runs.find("XmlFullPass/items:" + std::to_string(n) +
                                       "/sections_of_ten:" + std::to_string(tens) + "/manual_time");
            if (row == runs.end())
                continue; // filtered out
            const auto counter = [&](const char* name) { return double(row->second.counters.at(name)); };
            const double storage = counter("storage_us");
            const double bare = counter("bare_us");
            const double ratio = counter("ratio");
            const std::string layout = tens == 0 ? "in one section" : "in sections of ten";
            std::printf("%-8s %-18s %11.0f us %11.0f us %8.2f\n", Thousands(n).c_str(), layout.c_str(),
                        storage, bare, ratio);
            verdicts.Add("XML full pass against bare Xerces, " + Thousands(n) + " items " + layout, ratio,
                         VerdictGoal::AtMost, kXmlGoal, "x");
        }
}

// The rows run when the benchmark filter matches their names ("IniQSettings", "IniSectionTree").
void RunIniRows()
{
    const std::regex filter(benchmark::GetBenchmarkFilter());
    if (std::regex_search("IniQSettings", filter))
        CompareIniWithQSettings(9);
    if (std::regex_search("IniSectionTree", filter))
        TimeIniSectionTree(9);
}

} // namespace

int main(int argc, char** argv)
{
    // Repetitions interleaved with the other benchmarks' and compared by their medians, unless told
    // otherwise.
    TBenchmarkOptions options(argc, argv,
                              {"--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true",
                               "--benchmark_min_time=0.1", "--benchmark_report_aggregates_only=true"});
    TMedianReporter reporter(options.ConsoleOptions());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintXmlRatios(reporter.Kept());
    // CPU time per pass, in microseconds.
    const auto timeOf = [&](const std::string& name) {
        const auto run = reporter.Kept().find(name);
        return run == reporter.Kept().end() ? 0.0 : run->second.GetAdjustedCPUTime();
    };
    std::printf("\n%-8s %14s %14s %10s\n", "items", "Storage/Ini", "Bare/MemIni", "ratio");
    for (const int n : kItemsPerSection) {
        const std::string suffix = "/items:" + std::to_string(n);
        const double ini = timeOf("StorageIni" + suffix);
        const double mem = timeOf("BareMemIniFile" + suffix);
        if (ini == 0)
            continue; // filtered out
        const double ratio = mem > 0 ? ini / mem : 0.0;
        const bool withGoal = n <= kMemIniGoalItems;
        std::printf("%-8d %11.0f us %11.0f us %10.2f%s\n", n, ini, mem, ratio,
                    withGoal ? "" : "  (no goal above 100 items per section)");
        if (withGoal && mem > 0)
            verdicts.Add("INI full pass of 1,000 values against TMemIniFile, " + std::to_string(n) +
                             " items per section",
                         ratio, VerdictGoal::AtMost, kMemIniGoal, "x");
    }
    RunIniRows();
    std::printf("\n");
    verdicts.Print();
    benchmark::Shutdown();
    return VerdictExitStatus();
}
