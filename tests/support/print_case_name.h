#pragma once

// Table-driven test cases that carry a `Name` print as that name in test output. The printer sits in the
// unnamed namespace of carlume::test, where the test files declare their cases, so that lookup finds it.

#include <ostream>

namespace carlume::test {
namespace {

template <class T>
requires requires(const T& c)
{
    c.Name;
}
void PrintTo(const T& c, std::ostream* os)
{
    *os << c.Name;
}

/// The row's name for INSTANTIATE_TEST_SUITE_P.
[[maybe_unused]] const auto ByName = [](const auto& row) { return row.param.Name; };

} // namespace
} // namespace carlume::test
