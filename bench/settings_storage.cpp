// The settings storage against the libraries under it, on a settings file of 1,000 values:
//   Storage/Xml      load, read every value, change 100, save, through TtscXMLDataStorageAccess
//   Bare/Xerces      a plain Xerces parse of the same file and a serialisation back to it
//   Storage/Ini      the same work on the same values as an INI file, through TtscINIDataStorageAccess
//   Bare/MemIniFile  the same work straight on the platform's TMemIniFile
// Each runs with 10 to 1,000 items per section (the storage finds an item by scanning its section), and
// the ratios of each pair are printed at the end. The files go to $BENCH_DIR, else /dev/shm (so that the
// disk's flush does not hide the work), else /tmp.
// Usage: settings_storage [Google Benchmark options]

#include "platform/files.h"
#include "platform/ini_files.h"
#include "settings/ini_data_storage.h"
#include "settings/xml_data_storage.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileFormatTarget.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace carlume;

namespace {

constexpr int kValues = 1000;
constexpr int kChanged = 100;
const std::vector<int> kItemsPerSection = {10, 25, 50, 100, 250, 500, 1000};

struct Layout {
    std::vector<std::pair<std::string, std::string>> keys; // section, item
};

Layout MakeLayout(int itemsPerSection)
{
    Layout layout;
    for (int i = 0; i < kValues; ++i)
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

const char* ChangedValue(std::int64_t pass)
{
    return pass % 2 == 0 ? "changed" : "altered";
}

template <class Access>
void StorageRun(benchmark::State& state, const std::string& path, const Layout& layout)
{
    std::int64_t pass = 0;
    for (auto _ : state) {
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
        ++pass;
    }
}

void StorageXml(benchmark::State& state)
{
    const Layout layout = MakeLayout(int(state.range(0)));
    const std::string path = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + ".xml";
    WriteFileAtomically(path, XmlText(layout), TWriteMode::Unsynced);
    StorageRun<TtscXMLDataStorageAccess>(state, path, layout);
    std::remove(path.c_str());
}

void BareXerces(benchmark::State& state)
{
    const Layout layout = MakeLayout(int(state.range(0)));
    const std::string path = Folder() + "/carlume-bench-" + std::to_string(::getpid()) + "-bare.xml";
    WriteFileAtomically(path, XmlText(layout), TWriteMode::Unsynced);
    xercesc::XMLPlatformUtils::Initialize();
    {
        const std::u16string target(path.begin(), path.end());
        auto* implementation = static_cast<xercesc::DOMImplementationLS*>(
            xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS"));
        for (auto _ : state) {
            xercesc::XercesDOMParser parser;
            parser.parse(path.c_str());
            xercesc::DOMDocument* document = parser.getDocument();
            xercesc::DOMLSSerializer* serializer = implementation->createLSSerializer();
            xercesc::DOMLSOutput* output = implementation->createLSOutput();
            xercesc::LocalFileFormatTarget file(target.c_str());
            output->setByteStream(&file);
            output->setEncoding(u"UTF-8");
            serializer->write(document, output);
            output->release();
            serializer->release();
        }
    }
    xercesc::XMLPlatformUtils::Terminate();
    std::remove(path.c_str());
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

BENCHMARK(StorageXml)->Apply(Sizes);
BENCHMARK(BareXerces)->Apply(Sizes);
BENCHMARK(StorageIni)->Apply(Sizes);
BENCHMARK(BareMemIniFile)->Apply(Sizes);

// Keeps each benchmark's CPU time per iteration (the median when repeated) to compare the pairs at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times[name] = run.GetAdjustedCPUTime();
                medians[name] = true;
            } else if (run.run_type == Run::RT_Iteration && !medians[name]) {
                times[name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, bool> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-8s %14s %14s %10s %14s %14s %10s\n", "items", "Storage/Xml", "Bare/Xerces", "ratio",
                "Storage/Ini", "Bare/MemIni", "ratio");
    for (const int n : kItemsPerSection) {
        const std::string suffix = "/items:" + std::to_string(n);
        const double xml = reporter.times["StorageXml" + suffix];
        const double xerces = reporter.times["BareXerces" + suffix];
        const double ini = reporter.times["StorageIni" + suffix];
        const double mem = reporter.times["BareMemIniFile" + suffix];
        if (xml == 0 && ini == 0)
            continue; // filtered out
        std::printf("%-8d %11.0f us %11.0f us %10.2f %11.0f us %11.0f us %10.2f\n", n, xml, xerces,
                    xerces > 0 ? xml / xerces : 0.0, ini, mem, mem > 0 ? ini / mem : 0.0);
    }
    benchmark::Shutdown();
    return 0;
}
