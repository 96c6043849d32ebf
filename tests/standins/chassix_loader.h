#pragma once

#include "lookup/chassix_abi.h"
#include "standins/chassix/chassix_test_control.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace carlume::test {

/// The entry points as a program resolves them.
struct ChassixTable {
#define CHASSIX_TABLE_MEMBER(Name, Result, Params) PFN_##Name Name = nullptr;
    CHASSIX_ENTRY_POINTS(CHASSIX_TABLE_MEMBER)
#undef CHASSIX_TABLE_MEMBER
};

struct ChassixControls {
#define CHASSIX_TABLE_MEMBER(Name, Result, Params) PFN_##Name Name = nullptr;
    CHASSIX_FAKE_CONTROLS(CHASSIX_TABLE_MEMBER)
#undef CHASSIX_TABLE_MEMBER
};

/// The entry-point names in resolution order, as the header lists them.
inline std::vector<std::string> ChassixEntryNames()
{
    return {
#define CHASSIX_NAME(Name, Result, Params) #Name,
        CHASSIX_ENTRY_POINTS(CHASSIX_NAME)
#undef CHASSIX_NAME
    };
}

/// A library opened with dlopen for the lifetime of the object.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path)
        : Handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
    }
    ~LoadedLibrary()
    {
        if (Handle) {
            dlclose(Handle);
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool Loaded() const { return Handle != nullptr; }
    void* Symbol(const char* name) const { return Handle ? dlsym(Handle, name) : nullptr; }

    /// Resolves every entry point by name in order; the names that did not resolve.
    std::vector<std::string> Resolve(ChassixTable& table) const
    {
        std::vector<std::string> missing;
#define CHASSIX_RESOLVE(Name, Result, Params)                                                                \
    table.Name = reinterpret_cast<PFN_##Name>(Symbol(#Name));                                                \
    if (!table.Name) {                                                                                       \
        missing.emplace_back(#Name);                                                                         \
    }
        CHASSIX_ENTRY_POINTS(CHASSIX_RESOLVE)
        return missing;
    }

    std::vector<std::string> Resolve(ChassixControls& table) const
    {
        std::vector<std::string> missing;
        CHASSIX_FAKE_CONTROLS(CHASSIX_RESOLVE)
#undef CHASSIX_RESOLVE
        return missing;
    }

private:
    void* Handle;
};

/// Takes over a malloc'ed text.
inline std::optional<std::string> TakeText(char* text)
{
    if (!text) {
        return std::nullopt;
    }
    std::string copy = text;
    std::free(text);
    return copy;
}

/// A record on the C heap's terms: the texts it holds are freed with it.
class OwnedRecord {
public:
    static constexpr char* ChassixVinRecord::*kTexts[] = {&ChassixVinRecord::VIN,
                                                          &ChassixVinRecord::OtherInfo,
                                                          &ChassixVinRecord::TransmissionInfo,
                                                          &ChassixVinRecord::BodyInfo,
                                                          &ChassixVinRecord::RestraintInfo,
                                                          &ChassixVinRecord::Make,
                                                          &ChassixVinRecord::Model,
                                                          &ChassixVinRecord::EngineInfo,
                                                          &ChassixVinRecord::ModelInfo,
                                                          &ChassixVinRecord::Body,
                                                          &ChassixVinRecord::VehicleClass,
                                                          &ChassixVinRecord::AuxText,
                                                          &ChassixVinRecord::StateExceptions};

    OwnedRecord() { R.StructSize = sizeof(ChassixVinRecord); }
    ~OwnedRecord()
    {
        for (auto text : kTexts) {
            std::free(R.*text);
        }
    }
    OwnedRecord(const OwnedRecord&) = delete;
    OwnedRecord& operator=(const OwnedRecord&) = delete;

    void Set(char* ChassixVinRecord::*field, const char* text)
    {
        std::free(R.*field);
        R.*field = text ? strdup(text) : nullptr;
    }
    static std::string Get(const char* text) { return text ? text : ""; }

    ChassixVinRecord R{};
};

/// A list the engine fills; its entries are destroyed through the engine, last first.
class EntryList {
public:
    struct Line {
        std::string Text;
        ChassixEntry* Entry;
    };

    EntryList() = default;
    ~EntryList() { Clear(); }
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    void Clear()
    {
        while (!Lines.empty()) {
            ChassixEntry* entry = Lines.back().Entry;
            Lines.pop_back();
            entry->Destroy(entry);
        }
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : Lines) {
            texts.push_back(line.Text);
        }
        return texts;
    }

    ChassixList List{this, &EntryList::Add};
    std::vector<Line> Lines;

private:
    static void Add(void* context, const char* text, ChassixEntry* entry)
    {
        try {
            static_cast<EntryList*>(context)->Lines.push_back({text ? text : "", entry});
        } catch (...) {
            entry->Destroy(entry); // the entry is ours whatever happens
            throw;
        }
    }
};

} // namespace carlume::test
