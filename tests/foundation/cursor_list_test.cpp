#include "foundation/cursor_list.h"

#include "tests/support/fake_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume {
namespace {

TEST(CursorListTest, PushDeleteAndABadIndexWarns)
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
    EXPECT_TRUE(dialogs.Requests().empty());
    stack.Delete(2);
    stack.Delete(-1);
    stack.Delete(0);
    stack.Delete(0);
    stack.Delete(0);
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtWarning),
              std::vector<std::string>(3, "Cannot remove cursor item from empty list"));
    EXPECT_EQ(dialogs.Requests().size(), 3u);

    TCursorList silent(nullptr, crArrow); // without dialogs a warning is dropped
    silent.Stack().Delete(3);
    EXPECT_EQ(silent.Stack().Item(0).Cursor, crArrow);
}

} // namespace
} // namespace carlume
