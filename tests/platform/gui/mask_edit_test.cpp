// The masked edit: the class library's masks on Qt, its positional text, the modify veto and Esc.

#include "platform/gui/mask_edit.h"

#include "platform/format_settings.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace carlume::test {
namespace {

TEST(MaskEdit, TypingKeepsEveryPositionOfTheMask)
{
    const struct {
        const char *name, *mask;
        char separator;
        const char *typed, *editText, *text;
    } rows[] = {{"blank_underscore", "!99/99/9999;1;_", '/', "3/4", "3_/4_/____", "3 /4 /    "},
                {"dot_separator", "!99/99/9999;1; ", '.', "01.02.2026", "01.02.2026", "01.02.2026"},
                {"letters_rejected_by_digits", "!99/99/99;1;_", '-', "a1b2", "12-__-__", "12-  -  "},
                {"no_mask", "", '/', "free text", "free text", "free text"}};
    for (const auto& row : rows) {
        TFormatSettings settings = USFormatSettings();
        settings.DateSeparator = row.separator;
        const ScopedFormatSettings locale(settings);
        TCustomMaskEdit edit;
        edit.SetEditMask(row.mask);
        edit.setFocus();
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, QString::fromLatin1(row.typed));
        EXPECT_EQ(edit.EditText(), row.editText) << row.name;
        EXPECT_EQ(edit.Text(), row.text) << row.name;
    }
}

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
