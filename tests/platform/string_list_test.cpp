#include "platform/string_list.h"

#include "platform/files.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace carlume {
namespace {

using Lines = std::vector<std::string>;

class Tracked : public TObject {
public:
    explicit Tracked(int& alive)
        : alive_(alive)
    {
        ++alive_;
    }
    ~Tracked() override { --alive_; }

private:
    int& alive_;
};

TEST(StringListTest, UnsortedListKeepsOrderAndIndexes)
{
    TStringList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("a"), 1);
    list.Insert(0, "c");
    list.Insert(3, "d");
    EXPECT_EQ(list.ToVector(), (Lines{"c", "b", "a", "d"}));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list[2], "a");
    list.Delete(1);
    list.Put(0, "C");
    list.Exchange(0, 2);
    EXPECT_EQ(list.ToVector(), (Lines{"d", "a", "C"}));
    EXPECT_EQ(list.IndexOf("c"), 2) << "case-insensitive by default";
    EXPECT_EQ(list.IndexOf("x"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("c"), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, BadIndexesRaiseListErrors)
{
    TStringList list;
    list.Add("a");
    const auto expectError = [](auto&& call, const std::string& message) {
        try {
            call();
            ADD_FAILURE() << message;
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    };
    expectError([&] { (void)list[1]; }, "List index out of bounds (1)");
    expectError([&] { (void)list.Strings(-1); }, "List index out of bounds (-1)");
    expectError([&] { list.Delete(5); }, "List index out of bounds (5)");
    expectError([&] { list.Insert(2, "x"); }, "List index out of bounds (2)");
    expectError([&] { (void)list.Objects(1); }, "List index out of bounds (1)");
    list.SetSorted(true);
    expectError([&] { list.Insert(0, "x"); }, "Operation not allowed on sorted list");
    expectError([&] { list.Put(0, "x"); }, "Operation not allowed on sorted list");
}

struct DuplicateCase {
    TDuplicates duplicates;
    Lines expected;
    bool raises;
};

void PrintTo(const DuplicateCase& c, std::ostream* os)
{
    *os << "duplicates " << int(c.duplicates);
}

class SortedDuplicatesTest : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(SortedDuplicatesTest, AddKeepsOrderAndAppliesTheDuplicateRule)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(GetParam().duplicates);
    for (const char* text : {"Pear", "apple", "Fig"})
        list.Add(text);
    bool raised = false;
    try {
        const int index = list.Add("APPLE");
        if (GetParam().duplicates == TDuplicates::dupIgnore) {
            EXPECT_EQ(index, 0) << "the index of the equal line";
        }
    } catch (const EStringListError& e) {
        raised = true;
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(raised, GetParam().raises);
    EXPECT_EQ(list.ToVector(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SortedDuplicatesTest,
    ::testing::Values(DuplicateCase{TDuplicates::dupIgnore, {"apple", "Fig", "Pear"}, false},
                      DuplicateCase{TDuplicates::dupAccept, {"apple", "APPLE", "Fig", "Pear"}, false},
                      DuplicateCase{TDuplicates::dupError, {"apple", "Fig", "Pear"}, true}),
    [](const auto& row) {
        const TDuplicates rule = row.param.duplicates;
        return std::string(rule == TDuplicates::dupIgnore   ? "Ignore"
                           : rule == TDuplicates::dupAccept ? "Accept"
                                                            : "Error");
    });

TEST(StringListTest, FindSortAndCustomSort)
{
    TStringList list;
    for (const char* text : {"delta", "Alpha", "charlie", "bravo"})
        list.Add(text);
    int index = -1;
    EXPECT_TRUE(list.Find("CHARLIE", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("echo", index));
    EXPECT_EQ(index, 4);
    list.Sort();
    EXPECT_EQ(list.ToVector(), (Lines{"Alpha", "bravo", "charlie", "delta"}));
    list.SetSorted(true);
    EXPECT_TRUE(list.Find("Bravo", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("c", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.Add("Beta"), 1);
    EXPECT_EQ(list.IndexOf("CHARLIE"), 3);
    list.SetSorted(false);
    list.CustomSort([](const TStringList& l, int a, int b) { return int(l[b].size()) - int(l[a].size()); });
    EXPECT_EQ(list.ToVector(), (Lines{"charlie", "Alpha", "bravo", "delta", "Beta"}));
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    EXPECT_EQ(list.ToVector(), (Lines{"Alpha", "Beta", "bravo", "charlie", "delta"}));
}

TEST(StringListTest, NamesAndValues)
{
    TStringList list;
    list.SetText("AppPath=/opt/x/\r\nno equals\r\nData=a=b\r\nEmpty=\r\n");
    EXPECT_EQ(list.Names(0), "AppPath");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.Values("data"), "a=b");
    EXPECT_EQ(list.Values("Empty"), "");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.IndexOfName("EMPTY"), 3);
    EXPECT_EQ(list.IndexOfName("no equals"), -1);
    list.SetValues("Data", "c");
    list.SetValues("New", "1");
    list.SetValues("AppPath", "");
    EXPECT_EQ(list.ToVector(), (Lines{"no equals", "Data=c", "Empty=", "New=1"}));
    list.SetValueFromIndex(3, "2");
    EXPECT_EQ(list[3], "New=2");
    list.SetValueFromIndex(0, "");
    EXPECT_EQ(list.ToVector(), (Lines{"Data=c", "Empty=", "New=2"}));
}

TEST(StringListTest, TextUsesCrLfAndReadsEveryLineEnd)
{
    TStringList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(list.ToVector(), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
    list.SetText("x\n\ny\n");
    EXPECT_EQ(list.ToVector(), (Lines{"x", "", "y"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
    list.SetText("\r\n");
    EXPECT_EQ(list.ToVector(), (Lines{""}));
}

TEST(StringListTest, OwnedObjectsAreFreedExactlyOnce)
{
    int alive = 0;
    {
        TStringList owner(true);
        owner.AddObject("a", new Tracked(alive));
        owner.AddObject("b", new Tracked(alive));
        owner.AddObject("c", new Tracked(alive));
        EXPECT_EQ(alive, 3);
        owner.Delete(0);
        EXPECT_EQ(alive, 2);
        owner.PutObject(0, new Tracked(alive));
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(owner.IndexOfObject(owner.Objects(1)), 1);

        TStringList borrower;
        borrower.AddStrings(owner);
        EXPECT_EQ(borrower.Objects(0), owner.Objects(0));
        TStringList secondOwner(true);
        secondOwner.Assign(owner);
        EXPECT_EQ(secondOwner.Objects(0), nullptr) << "an owning copy takes the texts only";
        EXPECT_EQ(secondOwner.Count(), 2);

        owner.SetSorted(true);
        owner.AddObject("b", new Tracked(alive));
        EXPECT_EQ(alive, 2) << "an ignored duplicate's object is freed at once";
        owner.SetDuplicates(TDuplicates::dupError);
        EXPECT_THROW(owner.AddObject("b", new Tracked(alive)), EStringListError);
        EXPECT_EQ(alive, 2);
        owner.Clear();
        EXPECT_EQ(alive, 0);
        owner.AddObject("z", new Tracked(alive));
    }
    EXPECT_EQ(alive, 0);
    Tracked kept(alive);
    {
        TStringList notOwning;
        notOwning.AddObject("k", &kept);
        notOwning.Delete(0);
    }
    EXPECT_EQ(alive, 1);
}

TEST(StringListTest, SaveAndLoadFiles)
{
    test::ScratchFolder dir;
    TStringList list;
    list.Add("[VehicleProperties]");
    list.Add("Make=Arvelo");
    list.Add("OtherInfo=");
    list.Add("Bytes=\xe9\xff");
    list.SaveToFile(dir / "cquery.dat", TWriteMode::Durable);
    EXPECT_EQ(test::ReadAll(dir / "cquery.dat"),
              "[VehicleProperties]\r\nMake=Arvelo\r\nOtherInfo=\r\nBytes=\xe9\xff\r\n");
    test::WriteAll(dir / "lf.txt", "one\ntwo\n\nthree");
    TStringList loaded;
    loaded.Add("old");
    loaded.LoadFromFile(dir / "lf.txt");
    EXPECT_EQ(loaded.ToVector(), (Lines{"one", "two", "", "three"}));
    try {
        loaded.LoadFromFile(dir / "missing.txt");
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot open file \"" + (dir / "missing.txt") + "\". No such file or directory");
    }
    EXPECT_EQ(loaded.Count(), 4) << "a failed load changes nothing";
    try {
        list.SaveToFile(dir / "no/such/folder/cquery.dat", TWriteMode::Durable);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + (dir / "no/such/folder/cquery.dat") +
                                   "\". No such file or directory");
    }
    {
        ScopedFileFault fault(TFileStep::Write, ENOSPC);
        EXPECT_THROW(list.SaveToFile(dir / "cquery.dat", TWriteMode::Durable), EWriteError);
    }
    EXPECT_EQ(test::ReadAll(dir / "cquery.dat"), list.Text()) << "the old file stays whole";
}

} // namespace
} // namespace carlume
