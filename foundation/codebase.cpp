#include "foundation/codebase.h"

#include <algorithm>
#include <memory>

namespace carlume {

// The stand-in keeps no settings: the journal is all anybody reads.
struct CODE4 {
    char unused = 0;
};

namespace {

struct Engines {
    std::vector<std::unique_ptr<CODE4>> open;
    std::vector<TCodeBaseCall> journal;
};

Engines& State()
{
    // Never destroyed: the process-wide database closes its engine while the program exits, after other
    // statics may already be gone.
    static Engines* state = new Engines;
    return *state;
}

void Record(const char* function, CODE4* engine, int argument)
{
    State().journal.push_back({function, engine, argument});
}

// The engine behind `handle` when it is open, else null.
CODE4* OpenEngine(const CODE4* handle)
{
    for (const auto& engine : State().open)
        if (engine.get() == handle)
            return engine.get();
    return nullptr;
}

} // namespace

CODE4* code4initP()
{
    auto& engines = State().open;
    engines.push_back(std::make_unique<CODE4>());
    CODE4* engine = engines.back().get();
    Record("code4initP", engine, 0);
    return engine;
}

int code4singleOpen(CODE4* engine, short mode)
{
    Record("code4singleOpen", engine, mode);
    return OpenEngine(engine) != nullptr ? 0 : -1;
}

int code4lockAttempts(CODE4* engine, int attempts)
{
    Record("code4lockAttempts", engine, attempts);
    return OpenEngine(engine) != nullptr ? 0 : -1;
}

int code4initUndo(CODE4* engine)
{
    Record("code4initUndo", engine, 0);
    auto& engines = State().open;
    const auto it =
        std::find_if(engines.begin(), engines.end(), [engine](const auto& e) { return e.get() == engine; });
    if (it == engines.end())
        return -1;
    engines.erase(it);
    return 0;
}

std::vector<TCodeBaseCall> CodeBaseJournal()
{
    return State().journal;
}

void ResetCodeBaseJournal()
{
    State().journal.clear();
}

int OpenCodeBaseEngines()
{
    return int(State().open.size());
}

} // namespace carlume
