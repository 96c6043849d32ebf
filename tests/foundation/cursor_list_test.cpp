#include "foundation/cursor_list.h"

#include "tests/support/fake_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume {
namespace {

TEST(CursorListTest, SeededWithTheGivenCursor)
{
    test::TFakeDialogService dialogs;
    TCursorList list(&dialogs, crHourGlass);
    ASSERT_EQ(list.Stack().Count(), 1);
    EXPECT_EQ(list.Stack().Item(0).Cursor, crHourGlass);
    EXPECT_TRUE(dialogs.Requests().empty());
}

TEST(CursorListTest, PushAppendsAndDeleteCompacts)
{
    test::TFakeDialogService dialogs;
    TCursorList list(&dialogs, crDefault);
    TCursorStack& stack = list.Stack();
    stack.Push(crArrow);
    stack.Push(crHourGlass);
    stack.Delete(1);
    ASSERT_EQ(stack.Count(), 2);
    EXPECT_EQ(stack.Item(0).Cursor, crDefault);
    EXPECT_EQ(stack.Item(1).Cursor, crHourGlass);
    stack.Delete(0);
    stack.Delete(0);
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_TRUE(dialogs.Requests().empty());
}

TEST(CursorListTest, ABadIndexShowsAWarningAndChangesNothing)
{
    test::TFakeDialogService dialogs;
    TCursorList list(&dialogs, crArrow);
    list.Stack().Delete(1);
    list.Stack().Delete(-1);
    EXPECT_EQ(list.Stack().Count(), 1);
    list.Stack().Delete(0);
    list.Stack().Delete(0);
    EXPECT_EQ(dialogs.Requests().size(), 3u);
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtWarning),
              std::vector<std::string>(3, "Cannot remove cursor item from empty list"));
}

TEST(CursorListTest, WithoutDialogsAWarningIsDropped)
{
    TCursorList list(nullptr, crArrow);
    list.Stack().Delete(3);
    EXPECT_EQ(list.Stack().Count(), 1);
}

} // namespace
} // namespace carlume
