#pragma once

// A test binary that compiles memory_limit.cpp among its own sources (never through a library: it replaces
// the global operator new and delete of the whole binary) can make allocations fail as in a process short
// of memory. Only allocations through operator new count (the standard library's and the XML library's).

#include <cstddef>

namespace carlume::test {

/// While it lives, operator new throws std::bad_alloc when what it holds would exceed what it held when the
/// limit was set by more than `bytes`.
class ScopedMemoryLimit {
public:
    explicit ScopedMemoryLimit(std::size_t bytes);
    ~ScopedMemoryLimit();
    ScopedMemoryLimit(const ScopedMemoryLimit&) = delete;
    ScopedMemoryLimit& operator=(const ScopedMemoryLimit&) = delete;
};

} // namespace carlume::test
