#include "foundation/shared_values.h"

#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <string>

namespace carlume {
namespace {

TEST(ValuesListTest, ChildrenStayWithTheirParentAndGoWithTheRoot)
{
    // Under the address sanitizer this also shows that nothing leaks or is freed twice.
    auto root = std::make_unique<TtscValuesList>();
    TtscValuesList& section = root->Add("Section", "");
    TtscValuesList& key = section.Add("Key", "1");
    section.Add("Other", "2").Add("Deep", "3");
    key.Value = "changed";
    EXPECT_EQ(root->Children.at(0).get(), &section);
    EXPECT_EQ(section.Children.at(0)->Value, "changed");
    EXPECT_EQ(section.Children.at(1)->Children.at(0)->Value, "3");
    // A very deep tree is released without exhausting the stack.
    TtscValuesList* node = &key;
    for (int depth = 0; depth < 200000; ++depth)
        node = &node->Add("n", "");
    root.reset();
}

TEST(AboutBoxPropertiesTest, DatesComeFromTheClock)
{
    ScopedClock clock(EncodeDate(2031, 12, 31) + EncodeTime(23, 59, 59, 999));
    const TAboutBoxProperties about;
    EXPECT_EQ(about.AnniversaryDate, EncodeDate(2031, 12, 31));
    EXPECT_EQ(about.AutoAnniversaryDate, EncodeDate(2031, 12, 31));
    EXPECT_EQ(about.EndYear, "2031");
    EXPECT_EQ(about.StartYear, "1997");
}

} // namespace
} // namespace carlume
