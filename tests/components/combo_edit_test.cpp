// The combo edit and its popup, driven by mouse and key events: opening and closing by every path, with
// and without taking the popup's value; read-only and direct input; the button's width; change events;
// and where the popup opens on one or two screens.

#include "components/tool_edit.h"

#include "platform/gui/form.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

// --- placement ---------------------------------------------------------------------------------------------

TEST(ComboEdit, ThePopupStaysOnTheEditsScreen)
{
    const QRect primary(0, 0, 1280, 1024);
    const QRect rightOfPrimary(1280, 0, 1920, 1080);
    const auto R = TPopupAlign::epaRight;
    const auto L = TPopupAlign::epaLeft;
    const struct {
        const char* name;
        QRect edit, screen;
        TPopupAlign align;
        QPoint expected;
    } rows[] = {
        {"below_right_aligned", {400, 300, 120, 21}, primary, R, {333, 321}},
        {"above_at_the_bottom_edge", {400, 950, 120, 21}, primary, R, {333, 826}},
        {"right_aligned_near_the_left_edge_turns_left", {20, 300, 120, 21}, primary, R, {20, 321}},
        {"left_aligned_near_the_right_edge_turns_right", {1150, 300, 120, 21}, primary, L, {1083, 321}},
        {"narrow_edit_at_the_left_edge_clamped_to_0", {-30, 300, 40, 21}, primary, L, {0, 321}},
        {"clamped_to_the_right_edge", {1260, 300, 40, 21}, primary, L, {1093, 321}},
        {"second_screen_keeps_the_popup_there", {1300, 500, 120, 21}, rightOfPrimary, R, {1300, 521}},
        {"second_screen_right_edge", {3150, 500, 40, 21}, rightOfPrimary, L, {3003, 521}},
        {"too_tall_for_either_side_stays_on_screen", {400, 60, 120, 21}, {0, 0, 1280, 150}, R, {333, 0}},
        {"screen_below_the_primary", {400, 1100, 120, 21}, {0, 1024, 1280, 1024}, R, {333, 1121}}};
    for (const auto& row : rows)
        EXPECT_EQ(ComputePopupOrigin(row.edit, QSize(187, 124), row.screen, row.align), row.expected)
            << row.name;
}

// --- the protocol ------------------------------------------------------------------------------------------

// A popup that shows a fixed value and records what it was given.
class StubPopup : public TPopupWindow {
public:
    using TPopupWindow::TPopupWindow;
    TPopupValue GetValue() override { return TPopupValue::FromText(Value); }
    void SetValue(const TPopupValue& value) override { Given = value.IsNull() ? "<null>" : value.ToText(); }
    std::string Value = "popup";
    std::string Given;
};

// The combo edit with a stub popup wired in, as a descendant does it.
class TestCombo : public TCustomComboEdit {
public:
    explicit TestCombo(QWidget* parent)
        : TCustomComboEdit(parent)
        , popup(new StubPopup(this))
    {
        popup->resize(100, 60);
        SetPopup(popup);
        popup->OnCloseUp = [this](TPopupWindow* sender, bool accept) { PopupCloseUp(sender, accept); };
        OnChange = [this] { ++changes; };
    }
    void PopupChange() override { ++popupChanges; }
    StubPopup* popup;
    int changes = 0;
    int popupChanges = 0;
};

// A window with the combo edit, another edit, a label and a default button.
struct Window {
    Window()
    {
        auto* layout = new QVBoxLayout(&form);
        combo = new TestCombo(&form);
        other = new QLineEdit(&form);
        label = new QLabel(QStringLiteral("Label"), &form);
        okButton = new QPushButton(QStringLiteral("OK"), &form);
        okButton->setDefault(true);
        QObject::connect(okButton, &QPushButton::clicked, &form, [this] { ++okClicks; });
        for (QWidget* w : {static_cast<QWidget*>(combo), static_cast<QWidget*>(other),
                           static_cast<QWidget*>(label), static_cast<QWidget*>(okButton)})
            layout->addWidget(w);
        form.resize(240, 160);
        form.show();
        QApplication::setActiveWindow(&form);
        combo->setFocus();
        combo->SetText("edit");
        combo->changes = 0;
    }
    bool Open() const { return combo->GetPopupVisible() && combo->popup->isVisible(); }
    void AltDown() { QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier); }
    QPoint Middle(QWidget* w) const { return w->rect().center(); }

    TForm form;
    TestCombo* combo;
    QLineEdit* other;
    QLabel* label;
    QPushButton* okButton;
    int okClicks = 0;
};

struct CloseCase {
    std::string Name;
    std::function<void(Window&)> Close;
    bool Accepted;
};

class PopupClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(PopupClosing, TakesThePopupsValueOnlyOnAcceptingPaths)
{
    Window w;
    ASSERT_TRUE(w.combo->hasFocus());
    w.AltDown();
    ASSERT_TRUE(w.Open());
    EXPECT_EQ(w.combo->popup->Given, "edit");
    EXPECT_TRUE(w.combo->isReadOnly()) << "nothing is typed while the popup is open";
    EXPECT_TRUE(w.combo->hasFocus()) << "the edit keeps the focus";

    GetParam().Close(w);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(w.combo->Text(), GetParam().Accepted ? "popup" : "edit");
    EXPECT_EQ(w.combo->changes, GetParam().Accepted ? 1 : 0);
    EXPECT_EQ(w.combo->popupChanges, GetParam().Accepted ? 1 : 0) << "the text changed while still open";
    EXPECT_FALSE(w.combo->isReadOnly());
}

INSTANTIATE_TEST_SUITE_P(Paths, PopupClosing,
                         ::testing::ValuesIn(std::vector<CloseCase>{
                             {"AltDown_again", [](Window& w) { w.AltDown(); }, true},
                             {"Enter", [](Window& w) { QTest::keyClick(w.combo, Qt::Key_Return); }, true},
                             {"press_on_the_button",
                              [](Window& w) {
                                  QTest::mouseClick(&w.combo->Button(), Qt::LeftButton, {},
                                                    w.Middle(&w.combo->Button()));
                                  EXPECT_FALSE(w.Open())
                                      << "the click of the same press does not open it again";
                              },
                              true},
                             {"left_release_inside_the_popup",
                              [](Window& w) {
                                  QTest::mouseClick(w.combo->popup, Qt::RightButton, {}, QPoint(5, 5));
                                  EXPECT_TRUE(w.Open()) << "a right click does not close";
                                  EXPECT_EQ(QApplication::activeWindow(), &w.form);
                                  QTest::mouseClick(w.combo->popup, Qt::LeftButton, {}, QPoint(5, 5));
                                  EXPECT_TRUE(w.combo->hasFocus());
                              },
                              true},
                             {"Esc",
                              [](Window& w) {
                                  QTest::keyClick(w.combo, Qt::Key_Escape);
                                  EXPECT_EQ(w.okClicks, 0);
                              },
                              false},
                             {"focus_to_another_edit",
                              [](Window& w) {
                                  QTest::mouseClick(w.other, Qt::LeftButton, {}, w.Middle(w.other));
                                  EXPECT_TRUE(w.other->hasFocus());
                              },
                              false},
                             {"Tab_away",
                              [](Window& w) {
                                  QTest::keyClick(w.combo, Qt::Key_Tab);
                                  EXPECT_FALSE(w.combo->hasFocus());
                              },
                              false},
                             {"press_on_a_label",
                              [](Window& w) {
                                  QTest::mouseClick(w.label, Qt::LeftButton, {}, w.Middle(w.label));
                                  EXPECT_TRUE(w.combo->hasFocus());
                              },
                              false},
                             {"press_on_the_edits_text",
                              [](Window& w) {
                                  QTest::mouseClick(w.combo, Qt::LeftButton, {}, QPoint(4, 8));
                                  EXPECT_EQ(w.combo->cursorPosition(), 0) << "the press reaches the edit";
                              },
                              false}}),
                         ByName);

TEST(ComboEdit, ReadOnlyAndButtonWidthDecideWhetherItOpens)
{
    Window w;
    w.combo->SetReadOnly(true);
    w.AltDown();
    QTest::mouseClick(&w.combo->Button(), Qt::LeftButton, {}, w.Middle(&w.combo->Button()));
    EXPECT_FALSE(w.Open()) << "read-only: neither the button nor the click key";

    w.combo->SetReadOnly(false);
    w.combo->SetButtonWidth(0);
    EXPECT_FALSE(w.combo->ButtonHolder().isVisible());
    w.AltDown();
    EXPECT_FALSE(w.Open()) << "no button: no click key";
    w.combo->SetButtonWidth(1);
    EXPECT_FALSE(w.combo->ButtonHolder().isVisible());
    w.AltDown();
    EXPECT_TRUE(w.Open());
}

TEST(ComboEdit, WithoutDirectInputOnlyThePopupChangesTheText)
{
    Window w;
    w.combo->SetDirectInput(false);
    QTest::keyClicks(w.combo, QStringLiteral("xy"));
    EXPECT_EQ(w.combo->Text(), "edit");
    w.AltDown();
    ASSERT_TRUE(w.Open());
    QTest::keyClick(w.combo, Qt::Key_Return);
    EXPECT_EQ(w.combo->Text(), "popup");
    EXPECT_TRUE(w.combo->isReadOnly()) << "still read-only after the popup closed";
    EXPECT_FALSE(w.combo->ReadOnly());
}

TEST(ComboEdit, EnterWithThePopupClosedReachesTheDefaultButton)
{
    Window w;
    QTest::keyClick(w.combo, Qt::Key_Return);
    EXPECT_EQ(w.okClicks, 1);
    EXPECT_EQ(w.combo->Text(), "edit");
    EXPECT_FALSE(w.Open());
}

struct HintCase {
    std::string Name;
    QVariant FormShowsHints; // the form's "showHint" property; invalid: the form says nothing
    QString Shown;
};

class ComboEditButtonHint : public ::testing::TestWithParam<HintCase> {};

// The pointer resting on the button shows its hint, unless a container of the edit turns hints off.
TEST_P(ComboEditButtonHint, ShowsUnderThePointer)
{
    const HintCase& c = GetParam();
    QToolTip::hideText();
    Window w;
    w.form.setProperty("showHint", c.FormShowsHints);
    w.combo->SetButtonHint(QStringLiteral("Pick a date"));
    QWidget& button = w.combo->Button();
    QTest::mouseMove(&w.form, QPoint(1, 1));
    QTest::mouseMove(&button, w.Middle(&button));
    static_cast<void>(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 1500));
    EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), c.Shown);
    QToolTip::hideText();
}

INSTANTIATE_TEST_SUITE_P(Hints, ComboEditButtonHint,
                         ::testing::Values(HintCase{"NoContainerSays", QVariant(),
                                                    QStringLiteral("Pick a date")},
                                           HintCase{"TheFormShowsHints", true, QStringLiteral("Pick a date")},
                                           HintCase{"TheFormHidesHints", false, QString()}),
                         ByName);

TEST(ComboEdit, KeepsItsTextOutFromUnderTheButtonAndAMinimumHeight)
{
    Window w;
    EXPECT_GE(w.combo->textMargins().right(), w.combo->ButtonWidth() + 2);
    // The holder sits at the right edge, inside the frame.
    const QRect holder = w.combo->ButtonHolder().geometry();
    EXPECT_EQ(holder.width(), 21);
    EXPECT_LT(holder.right(), w.combo->width() - 1);
    EXPECT_GT(holder.right(), w.combo->width() - 5);
    w.combo->resize(w.combo->width(), 4);
    EXPECT_GT(w.combo->height(), 4);
}

// A descendant with a default glyph of two 14 x 12 images.
class GlyphCombo : public TCustomComboEdit {
public:
    GlyphCombo() { SetDefaultNumGlyphs(2); }

protected:
    TBitmap* GetDefaultBitmap(bool& destroyNeeded) override
    {
        destroyNeeded = true;
        return new TBitmap(28, 12);
    }
};

TEST(ComboEdit, GlyphKindsSetPictureCountAndWidth)
{
    GlyphCombo combo;
    combo.resize(120, 21);
    combo.SetGlyphKind(TGlyphKind::gkDefault);
    EXPECT_EQ(combo.NumGlyphs(), 2);
    EXPECT_EQ(combo.Glyph().Width(), 28);
    EXPECT_EQ(combo.ButtonWidth(), 21) << "max(28 / 2 + 6, 21)";
    combo.SetNumGlyphs(3);
    EXPECT_EQ(combo.NumGlyphs(), 2) << "the default kind keeps its count";

    combo.SetGlyphKind(TGlyphKind::gkEllipsis);
    EXPECT_EQ(combo.NumGlyphs(), 1);
    EXPECT_EQ(combo.Glyph().Width(), 15);
    combo.SetGlyphKind(TGlyphKind::gkDropDown);
    EXPECT_EQ(combo.ButtonWidth(), combo.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &combo));

    combo.SetGlyph(TBitmap(8, 8));
    EXPECT_EQ(combo.GlyphKind(), TGlyphKind::gkCustom);
    combo.SetNumGlyphs(1);
    EXPECT_EQ(combo.NumGlyphs(), 1);
}

TEST(ComboEdit, ButtonDrawsItsLeftEdgeUnlessDown)
{
    Window w;
    TEditButton& button = w.combo->Button();
    const QImage up = RenderWidget(button);
    const int mid = button.height() / 2;
    EXPECT_TRUE(PixelsAre(up, {{0, mid, clBtnFace, "outer edge"}, {1, mid, clBtnHighlight, "inner edge"}},
                          "edit_button_up"));
    QTest::mousePress(&button, Qt::LeftButton, {}, w.Middle(&button));
    const QImage down = RenderWidget(button);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, w.Middle(&button));
    EXPECT_NE(PixelAt(down, 1, mid), clBtnHighlight);
}

TEST(ComboEdit, EllipsisDots)
{
    // Three 2 x 2 dots, spaced by the button's width.
    TBitmap dots = EllipsisBitmap(21);
    ASSERT_EQ(dots.Width(), 15);
    std::string row;
    for (int x = 0; x < dots.Width(); ++x)
        row += dots.Canvas().Pixel(x, 1) == clBlack ? 'X' : '.';
    EXPECT_EQ(row, ".XX...XX...XX..");
    EXPECT_EQ(EllipsisBitmap(3).Width(), 1);
}

} // namespace
} // namespace carlume::test
