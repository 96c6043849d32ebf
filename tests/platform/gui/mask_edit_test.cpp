// The masked edit: the class library's masks on Qt, its positional text, the modify veto and Esc.

#include "platform/gui/mask_edit.h"

#include "platform/format_settings.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace carlume::test {
namespace {

struct TypingCase {
    std::string Name;
    std::string Mask;
    char Separator;
    QString Typed;
    std::string EditText;
    std::string Text;
};

class MaskEditTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(MaskEditTyping, KeepsEveryPositionOfTheMask)
{
    const TypingCase& c = GetParam();
    TFormatSettings settings = USFormatSettings();
    settings.DateSeparator = c.Separator;
    const ScopedFormatSettings locale(settings);
    TCustomMaskEdit edit;
    edit.SetEditMask(c.Mask);
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, c.Typed);
    EXPECT_EQ(edit.EditText(), c.EditText);
    EXPECT_EQ(edit.Text(), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditTyping,
    ::testing::Values(TypingCase{"blank_underscore", "!99/99/9999;1;_", '/', QStringLiteral("3/4"),
                                 "3_/4_/____", "3 /4 /    "},
                      TypingCase{"dot_separator", "!99/99/9999;1; ", '.', QStringLiteral("01.02.2026"),
                                 "01.02.2026", "01.02.2026"},
                      TypingCase{"letters_rejected_by_digits", "!99/99/99;1;_", '-', QStringLiteral("a1b2"),
                                 "12-__-__", "12-  -  "},
                      TypingCase{"no_mask", "", '/', QStringLiteral("free text"), "free text", "free text"}),
    [](const auto& row) { return row.param.Name; });

class VetoEdit : public TCustomMaskEdit {
public:
    bool allow = true;

protected:
    bool EditCanModify() override { return allow; }
};

TEST(MaskEdit, EditCanModifyHoldsBackEveryChangingKey)
{
    VetoEdit edit;
    edit.SetText("abc");
    edit.allow = false;
    edit.setCursorPosition(3);
    QTest::keyClicks(&edit, QStringLiteral("de"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "abc");
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(edit.cursorPosition(), 2) << "moving is no change";
}

TEST(MaskEdit, EscBringsBackTheTextOfFocusIn)
{
    QWidget window;
    QLineEdit first(&window);
    TCustomMaskEdit edit(&window);
    edit.SetText("before");
    window.show();
    QApplication::setActiveWindow(&window);
    first.setFocus();
    edit.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("before")) << "focus by keyboard selects all";
    QTest::keyClicks(&edit, QStringLiteral("after"));
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(edit.Text(), "before");
}

} // namespace
} // namespace carlume::test
