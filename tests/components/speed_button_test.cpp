// The speed button: clicks, groups, auto-repeat, cut-short presses, hot tracking, the drop-down menu and
// the modal result.

#include "components/speed_button.h"
#include "platform/gui/form.h"
#include "tests/support/fake_services.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

// Opens up what descendants see.
class TProbeButton : public TUiSpeedButton {
public:
    using TUiSpeedButton::GetDropDownMenuPos;
    using TUiSpeedButton::MenuShowing;
    using TUiSpeedButton::MouseInside;
    using TUiSpeedButton::Pressed;
    using TUiSpeedButton::RepeatTimer;
    using TUiSpeedButton::State;
    using TUiSpeedButton::TimerExpired;
    using TUiSpeedButton::TUiSpeedButton;
};

// A form with buttons in it, shown offscreen; each button counts its clicks.
class SpeedButtonTest : public ::testing::Test {
protected:
    TProbeButton& AddButton(int left = 10, int top = 10)
    {
        auto* button = new TProbeButton(&form_);
        button->move(left, top);
        button->OnClick = [this, button](QObject* sender) {
            EXPECT_EQ(sender, button);
            ++clicks_[button];
        };
        button->OnDblClick = [this](QObject*) { ++dblClicks_; };
        button->show();
        return *button;
    }
    void ShowForm()
    {
        form_.resize(200, 100);
        form_.show();
    }
    int Clicks(TProbeButton& button) { return clicks_[&button]; }

    TForm form_;
    std::map<TProbeButton*, int> clicks_;
    int dblClicks_ = 0;
};

enum class TStep { Press, Release, Move, DblClick, RightPress, RightRelease };
struct TMouseStep {
    TStep Step;
    QPoint At;
};

struct TClickCase {
    std::string Name;
    std::vector<TMouseStep> Steps;
    bool Enabled = true;
    int Clicks = 0;
    int DblClicks = 0;
};

class ClickPaths : public SpeedButtonTest, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(ClickPaths, GiveTheClicksOfTheRelease)
{
    const TClickCase& c = GetParam();
    ShowForm();
    TProbeButton& button = AddButton();
    button.setEnabled(c.Enabled);
    for (const TMouseStep& step : c.Steps) {
        switch (step.Step) {
        case TStep::Press:
            QTest::mousePress(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::Release:
            QTest::mouseRelease(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::Move:
            QTest::mouseMove(&button, step.At);
            break;
        case TStep::DblClick:
            QTest::mouseDClick(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::RightPress:
            QTest::mousePress(&button, Qt::RightButton, {}, step.At);
            break;
        case TStep::RightRelease:
            QTest::mouseRelease(&button, Qt::RightButton, {}, step.At);
            break;
        }
    }
    EXPECT_EQ(Clicks(button), c.Clicks);
    EXPECT_EQ(dblClicks_, c.DblClicks);
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(button.State(), c.Enabled ? TUiSpeedButtonState::sbsUp : TUiSpeedButtonState::sbsUp);
}

const QPoint kIn(5, 5);

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, ClickPaths,
    ::testing::Values(
        TClickCase{"press_and_release_inside", {{TStep::Press, kIn}, {TStep::Release, kIn}}, true, 1},
        TClickCase{"release_one_pixel_below", {{TStep::Press, kIn}, {TStep::Release, {5, 25}}}, true, 0},
        TClickCase{"release_one_pixel_right", {{TStep::Press, kIn}, {TStep::Release, {25, 5}}}, true, 0},
        TClickCase{"release_on_the_last_pixel", {{TStep::Press, kIn}, {TStep::Release, {24, 24}}}, true, 1},
        TClickCase{"moved_out_and_released_out",
                   {{TStep::Press, kIn}, {TStep::Move, {30, 5}}, {TStep::Release, {30, 5}}},
                   true,
                   0},
        TClickCase{"moved_out_and_back_in",
                   {{TStep::Press, kIn}, {TStep::Move, {30, 5}}, {TStep::Move, kIn}, {TStep::Release, kIn}},
                   true,
                   1},
        TClickCase{"right_button", {{TStep::RightPress, kIn}, {TStep::RightRelease, kIn}}, true, 0},
        TClickCase{"disabled", {{TStep::Press, kIn}, {TStep::Release, kIn}}, false, 0},
        TClickCase{
            "double_click_ungrouped",
            {{TStep::Press, kIn}, {TStep::Release, kIn}, {TStep::DblClick, kIn}, {TStep::Release, kIn}},
            true,
            2,
            0}),
    [](const auto& row) { return row.param.Name; });

TEST_F(SpeedButtonTest, StateFollowsThePointerWhilePressed)
{
    ShowForm();
    TProbeButton& button = AddButton();
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsDown);
    QTest::mouseMove(&button, QPoint(5, 25));
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsUp);
    QTest::mouseMove(&button, QPoint(5, 24));
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsDown);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 24));
}

} // namespace
} // namespace carlume::test
