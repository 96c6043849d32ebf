#pragma once

// The hand-written settings files in tests/settings/fixtures, copied into a scratch folder per test.

#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace carlume::test {

inline std::string FixturePath(const std::string& name)
{
    return std::string(CARLUME_SETTINGS_FIXTURES) + "/" + name;
}

inline std::string Fixture(const std::string& name)
{
    return ReadAll(FixturePath(name));
}

/// Names a parameterised test after its row's `Name`.
struct RowName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& row) const
    {
        return row.param.Name;
    }
};

/// A scratch folder holding copies of fixtures.
class StorageFolder : public ::testing::Test {
protected:
    /// Copies the fixture into the folder and returns the copy's path.
    std::string Copy(const std::string& name)
    {
        WriteAll(dir / name, Fixture(name));
        return dir / name;
    }
    ScratchFolder dir;
};

/// The message of the exception of type `E` that `action` raises ("" and a test failure when none is).
template <class E> std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    ADD_FAILURE() << "nothing raised";
    return {};
}

} // namespace carlume::test
