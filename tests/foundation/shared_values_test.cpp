#include "foundation/shared_values.h"

#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <string>

namespace carlume {
namespace {

TEST(ValuesListTest, AddReturnsTheChildTheParentKeeps)
{
    TtscValuesList root;
    EXPECT_EQ(root.Name, "");
    EXPECT_EQ(root.Value, "");
    TtscValuesList& section = root.Add("Section", "");
    TtscValuesList& key = section.Add("Key", "1");
    section.Add("Other", "2").Add("Deep", "3");
    key.Value = "changed";

    ASSERT_EQ(root.Children.size(), 1u);
    EXPECT_EQ(root.Children[0].get(), &section);
    ASSERT_EQ(section.Children.size(), 2u);
    EXPECT_EQ(section.Children[0]->Name, "Key");
    EXPECT_EQ(section.Children[0]->Value, "changed");
    EXPECT_EQ(section.Children[1]->Children.at(0)->Value, "3");
}

TEST(ValuesListTest, ReleasingTheRootReleasesEveryDescendant)
{
    // Run under the address sanitizer this also shows that nothing leaks or is freed twice.
    auto root = std::make_unique<TtscValuesList>("root", "");
    for (int i = 0; i < 3; ++i) {
        TtscValuesList& child = root->Add("child" + std::to_string(i), "");
        for (int k = 0; k < 3; ++k)
            child.Add("grandchild", std::to_string(k)).Add("leaf", "x");
    }
    root.reset();
    SUCCEED();
}

TEST(ValuesListTest, AVeryDeepTreeIsReleasedWithoutExhaustingTheStack)
{
    TtscValuesList root;
    TtscValuesList* node = &root;
    for (int depth = 0; depth < 200000; ++depth)
        node = &node->Add("n", "");
    EXPECT_EQ(node->Name, "n");
}

TEST(AboutBoxPropertiesTest, DefaultsComeFromTheClock)
{
    ScopedClock clock(EncodeDate(2031, 12, 31) + EncodeTime(23, 59, 59, 999));
    const TAboutBoxProperties about;
    EXPECT_EQ(about.UserName, "");
    EXPECT_EQ(about.ProductTitle, "Polimark Insurance Rating Software");
    EXPECT_FALSE(about.Phone.empty());
    EXPECT_FALSE(about.WebSite.empty());
    EXPECT_FALSE(about.Email.empty());
    EXPECT_FALSE(about.Fax.empty());
    EXPECT_EQ(about.AnniversaryDate, EncodeDate(2031, 12, 31));
    EXPECT_EQ(about.AutoAnniversaryDate, EncodeDate(2031, 12, 31));
    EXPECT_EQ(about.EndYear, "2031");
    EXPECT_EQ(about.StartYear, "1997");
    for (const std::string* empty : {&about.BuildNumber, &about.Version, &about.InstallLocation,
                                     &about.MaintenanceFolder, &about.LogoFile, &about.CopyrightText})
        EXPECT_EQ(*empty, "");
}

} // namespace
} // namespace carlume
