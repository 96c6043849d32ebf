#include "foundation/cb_database.h"
#include "foundation/codebase.h"
#include "foundation/sorted_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace carlume {
namespace {

class Keyed : public TCBItem {
public:
    explicit Keyed(std::int32_t key, int* freed = nullptr)
        : key_(key)
        , freed_(freed)
    {
    }
    ~Keyed() override
    {
        if (freed_ != nullptr)
            ++*freed_;
    }
    std::int32_t Key() const override { return key_; }

private:
    std::int32_t key_;
    int* freed_;
};

std::int32_t KeyAt(const TSortedList& list, int index)
{
    return static_cast<const Keyed*>(list.Items(index))->Key();
}

// A list of `count` items with keys 10, 20, ... that owns them through `store`.
struct Fixture {
    explicit Fixture(int count)
    {
        list.Compare = &TCBDatabase::CompareKeys;
        for (int i = 1; i <= count; ++i)
            list.AddItem(Make(i * 10));
    }
    Keyed* Make(std::int32_t key)
    {
        store.push_back(std::make_unique<Keyed>(key));
        return store.back().get();
    }
    std::vector<std::int32_t> Keys() const
    {
        std::vector<std::int32_t> keys;
        for (int i = 0; i < list.Count(); ++i)
            keys.push_back(KeyAt(list, i));
        return keys;
    }
    std::vector<std::unique_ptr<Keyed>> store;
    TSortedList list;
};

// Both search modes: a walk below 128 items, bisection from 128 on.
class SortedListTest : public ::testing::TestWithParam<int> {};

TEST_P(SortedListTest, KeepsAscendingOrder)
{
    Fixture f(GetParam());
    ASSERT_EQ(f.list.Count(), GetParam());
    const auto keys = f.Keys();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(f.list.LastIndex, GetParam() - 2);
}

TEST_P(SortedListTest, SmallestGoesFirstLargestLastAndBetweenInBetween)
{
    Fixture f(GetParam());
    f.list.AddItem(f.Make(5));
    EXPECT_EQ(KeyAt(f.list, 0), 5);
    EXPECT_EQ(f.list.LastIndex, -1);
    f.list.AddItem(f.Make(10 * GetParam() + 1));
    EXPECT_EQ(KeyAt(f.list, f.list.Count() - 1), 10 * GetParam() + 1);
    f.list.AddItem(f.Make(35));
    EXPECT_EQ(KeyAt(f.list, 4), 35);
    EXPECT_EQ(f.list.LastIndex, 3);
    const auto keys = f.Keys();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
}

TEST_P(SortedListTest, AnEqualItemIsRefusedUnlessDuplicatesAreAllowed)
{
    Fixture f(GetParam());
    try {
        f.list.AddItem(f.Make(30));
        ADD_FAILURE();
    } catch (const ESortedListError& e) {
        EXPECT_EQ(e.Code(), 2);
        EXPECT_EQ(e.Message(), "Inserting item that already exists in sorted list.");
    }
    EXPECT_EQ(f.list.Count(), GetParam());
    f.list.AllowDuplicates = true;
    Keyed* duplicate = f.Make(30);
    f.list.AddItem(duplicate);
    EXPECT_EQ(f.list.Count(), GetParam() + 1);
    EXPECT_EQ(f.list.Items(3), duplicate);
    EXPECT_EQ(f.list.LastIndex, 2);
}

TEST_P(SortedListTest, RandomKeysIncludingExtremesComeOutSorted)
{
    Fixture f(0);
    f.list.AllowDuplicates = true;
    std::mt19937 random(GetParam());
    std::uniform_int_distribution<std::int32_t> key(std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max());
    f.list.AddItem(f.Make(std::numeric_limits<std::int32_t>::max()));
    f.list.AddItem(f.Make(std::numeric_limits<std::int32_t>::min()));
    for (int i = 0; i < GetParam() * 2; ++i)
        f.list.AddItem(f.Make(i % 7 == 0 ? 0 : key(random)));
    const auto keys = f.Keys();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(keys.front(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(keys.back(), std::numeric_limits<std::int32_t>::max());
}

INSTANTIATE_TEST_SUITE_P(Sizes, SortedListTest, ::testing::Values(10, 127, 128, 200),
                         [](const auto& row) { return std::to_string(row.param) + "Items"; });

TEST(SortedListTest, DuplicatesGoAfterTheFirstEqualItemWhenWalkingAndAfterTheLastWhenBisecting)
{
    Fixture small(10);
    small.list.AllowDuplicates = true;
    small.list.AddItem(small.Make(30));
    Keyed* third = small.Make(30);
    small.list.AddItem(third);
    EXPECT_EQ(small.list.Items(3), third);

    Fixture large(200);
    large.list.AllowDuplicates = true;
    large.list.AddItem(large.Make(30));
    Keyed* last = large.Make(30);
    large.list.AddItem(last);
    EXPECT_EQ(large.list.Items(4), last);
}

TEST(SortedListTest, ErrorsByCode)
{
    TSortedList list;
    Keyed item(1);
    try {
        list.AddItem(&item);
        ADD_FAILURE();
    } catch (const ESortedListError& e) {
        EXPECT_EQ(e.Code(), 0);
        EXPECT_EQ(e.Message(), "Compare function not assigned for sorted list.");
    }
    EXPECT_EQ(list.Count(), 0);
    for (const int index : {-1, 0, 1}) {
        try {
            (void)list.Items(index);
            ADD_FAILURE() << index;
        } catch (const ESortedListError& e) {
            EXPECT_EQ(e.Code(), 1);
            EXPECT_EQ(e.Message(), "Sorted list index is out of bounds.");
        }
    }
    EXPECT_THROW(list.Delete(0), ESortedListError);
    EXPECT_THROW(list.Insert(1, &item), ESortedListError);
    EXPECT_EQ(ESortedListError(3).Message(), "An unknown sort list error has occurred");
    EXPECT_EQ(ESortedListError(-1).Message(), "An unknown sort list error has occurred");
}

TEST(SortedListTest, PlainListOperations)
{
    TSortedList list;
    Keyed a(1), b(2), c(3);
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&c), 1);
    list.Insert(1, &b);
    EXPECT_EQ(list.IndexOf(&b), 1);
    EXPECT_EQ(list.Remove(&a), 0);
    EXPECT_EQ(list.Remove(&a), -1);
    list.Delete(1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), &b);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(CompareKeysTest, OrdersByKeyWithoutOverflow)
{
    Keyed low(std::numeric_limits<std::int32_t>::min()), high(std::numeric_limits<std::int32_t>::max());
    Keyed zero(0);
    TObject plain;
    EXPECT_LT(TCBDatabase::CompareKeys(&low, &high), 0);
    EXPECT_GT(TCBDatabase::CompareKeys(&high, &low), 0);
    EXPECT_EQ(TCBDatabase::CompareKeys(&zero, &zero), 0);
    EXPECT_LT(TCBDatabase::CompareKeys(&plain, &zero), 0);
}

// --- the database handle and the engine stand-in --------------------------------------------------------

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseCBDatabase();
        ResetCodeBaseJournal();
    }
    void TearDown() override { ReleaseCBDatabase(); }
};

TEST_F(DatabaseTest, OpensTheEngineOnceAndClosesItOnce)
{
    const int openBefore = OpenCodeBaseEngines();
    TCBDatabase& database = GetCBDatabase();
    EXPECT_EQ(&GetCBDatabase(), &database);
    EXPECT_TRUE(database.Initialised());
    CODE4* engine = database.Handle();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(OpenCodeBaseEngines(), openBefore + 1);
    EXPECT_EQ(CodeBaseJournal(), (std::vector<TCodeBaseCall>{{"code4initP", engine, 0},
                                                             {"code4singleOpen", engine, 0},
                                                             {"code4lockAttempts", engine, 5}}));
    ReleaseCBDatabase();
    ReleaseCBDatabase();
    EXPECT_EQ(CodeBaseJournal().size(), 4u);
    EXPECT_EQ(CodeBaseJournal().back(), (TCodeBaseCall{"code4initUndo", engine, 0}));
    EXPECT_EQ(OpenCodeBaseEngines(), openBefore);
}

TEST_F(DatabaseTest, FreesItsItems)
{
    int freed = 0;
    {
        TCBDatabase database;
        database.ItemList().AddItem(new Keyed(2, &freed));
        database.ItemList().AddItem(new Keyed(1, &freed));
        EXPECT_EQ(static_cast<const Keyed*>(database.ItemList().Items(0))->Key(), 1);
    }
    EXPECT_EQ(freed, 2);
}

TEST_F(DatabaseTest, EngineRefusesHandlesThatAreNotOpen)
{
    CODE4* engine = code4initP();
    EXPECT_EQ(code4singleOpen(engine, 0), 0);
    EXPECT_EQ(code4initUndo(engine), 0);
    EXPECT_EQ(code4lockAttempts(engine, 5), -1);
    EXPECT_EQ(code4initUndo(engine), -1);
    EXPECT_EQ(code4initUndo(nullptr), -1);
}

} // namespace
} // namespace carlume
