#include "components/select_date_dialog.h"

#include "platform/exceptions.h"
#include "platform/gui/canvas.h"
#include "platform/gui/control.h"
#include "platform/gui/error_guard.h"
#include "platform/gui/resources.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace carlume {

namespace {

// A panel with a raised outer bevel and, when asked, a lowered inner one.
class TBevelPanel : public TCustomControl {
public:
    TBevelPanel(QWidget* parent, bool outer, bool inner)
        : TCustomControl(parent)
        , outer_(outer)
        , inner_(inner)
    {
        setFocusPolicy(Qt::NoFocus);
    }
    /// Pixels of bevel on each side.
    int BorderWidth() const { return (outer_ ? 1 : 0) + (inner_ ? 1 : 0); }

protected:
    void Paint(TCanvas& canvas) override
    {
        TRect rect = Rect(0, 0, width(), height());
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(rect);
        if (outer_)
            Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
        if (inner_)
            Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 1);
    }

private:
    bool outer_;
    bool inner_;
};

// The title: double-clicking it goes to today.
class TTitleLabel : public QLabel {
public:
    TTitleLabel(QWidget* parent, std::function<void()> onDblClick)
        : QLabel(parent)
        , onDblClick_(std::move(onDblClick))
    {
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            RunGuarded(onDblClick_);
    }

private:
    std::function<void()> onDblClick_;
};

} // namespace

TSelectDateDlg::TSelectDateDlg(QWidget* owner)
    : TForm(owner)
{
    setObjectName(QStringLiteral("SelectDateDlg"));
    SetBorderStyle(TFormBorderStyle::bsToolWindow);
    SetCaption(QString::fromLatin1(SDateDlgCaption));
    TFont font;
    FontSetDefault(font);
    SetFont(font);
    SetColor(clBtnFace);
    SetPosition(TPosition::poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = [this](TVirtualKey& key, TShiftState shift) { FormKeyDown(key, shift); };
    SetClientWidth(222);
    SetClientHeight(154);
    setFixedSize(size());

    auto* top = new TBevelPanel(this, true, true);
    top->setGeometry(0, 0, 222, 22);
    title_ = new TTitleLabel(top, [this] { TopPanelDblClick(); });
    title_->setObjectName(QStringLiteral("TitleLabel"));
    title_->setGeometry(35, 4, 152, 14);
    title_->setAlignment(Qt::AlignCenter);
    QFont bold = font.ToQFont();
    bold.setBold(true);
    title_->setFont(bold);
    QPalette blue = title_->palette();
    blue.setColor(QPalette::WindowText, ToQColor(clBlue));
    title_->setPalette(blue);

    struct Spec {
        int Left;
        const char* Glyph;
        const char* Hint;
        void (TSelectDateDlg::*Click)();
    };
    const std::array<Spec, 4> specs{{{3, "PREV2", SPrevYear, &TSelectDateDlg::PrevYearBtnClick},
                                     {18, "PREV1", SPrevMonth, &TSelectDateDlg::PrevMonthBtnClick},
                                     {188, "NEXT1", SNextMonth, &TSelectDateDlg::NextMonthBtnClick},
                                     {203, "NEXT2", SNextYear, &TSelectDateDlg::NextYearBtnClick}}};
    for (std::size_t i = 0; i < specs.size(); ++i) {
        auto* button = new TUiTimerSpeedButton(top);
        button->setObjectName(QString::fromLatin1(specs[i].Glyph));
        button->setGeometry(specs[i].Left, 3, 16, 16);
        button->SetGlyph(LoadBitmapResource(QString::fromLatin1(specs[i].Glyph)));
        button->OnClick = [this, click = specs[i].Click](QObject*) { (this->*click)(); };
        buttons_[i] = button;
        SetButtonHint(static_cast<int>(i), QString::fromLatin1(specs[i].Hint));
    }

    auto* bottom = new TBevelPanel(this, false, false);
    bottom->setGeometry(0, 133, 222, 21);
    auto* ok = new QPushButton(QStringLiteral("OK"), bottom);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setGeometry(0, 0, 112, 21);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), bottom);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setGeometry(111, 0, 111, 21);
    cancel->setProperty(kCancelProperty, true);
    // Enter is the form's key (OK), whichever button has the focus.
    for (QPushButton* button : {ok, cancel})
        button->setAutoDefault(false);
    BindModalResult(ok, mrOk);
    BindModalResult(cancel, mrCancel);

    auto* middle = new TBevelPanel(this, true, true);
    middle->setGeometry(0, 22, 222, 111);
    calendar_ = new TUiCalendar(middle);
    calendar_->setObjectName(QStringLiteral("Calendar"));
    const int border = middle->BorderWidth();
    calendar_->setGeometry(border, border, 222 - 2 * border, 111 - 2 * border);
    calendar_->Font().Assign(font);
    calendar_->SetColor(clWhite);
    calendar_->SetUseCurrentDate(false);
    calendar_->OnChange = [this] { CalendarChange(); };
    calendar_->OnDblClick = [this] { CalendarDblClick(); };
    setTabOrder(calendar_, ok);
    setTabOrder(ok, cancel);

    calendar_->SetCalendarDate(std::trunc(Now()));
    SetActiveControl(calendar_);
}

void TSelectDateDlg::SetButtonHint(int index, const QString& hint)
{
    // Tooltips have no long hint: the text after "|" is not shown.
    Button(index).SetHint(hint.section(QLatin1Char('|'), 0, 0));
}

void TSelectDateDlg::SetDate(TDateTime date)
{
    if (date == NullDate)
        date = Date();
    try {
        calendar_->SetCalendarDate(date);
        CalendarChange();
    } catch (const std::exception&) {
        calendar_->SetCalendarDate(Date());
        CalendarChange();
    }
}

TDateTime TSelectDateDlg::GetDate() const
{
    return calendar_->CalendarDate();
}

void TSelectDateDlg::Step(void (TUiCalendar::*step)())
{
    (calendar_->*step)();
    title_->repaint();
}

void TSelectDateDlg::PrevMonthBtnClick()
{
    calendar_->PrevMonth();
}

void TSelectDateDlg::NextMonthBtnClick()
{
    calendar_->NextMonth();
}

void TSelectDateDlg::PrevYearBtnClick()
{
    calendar_->PrevYear();
}

void TSelectDateDlg::NextYearBtnClick()
{
    calendar_->NextYear();
}

void TSelectDateDlg::CalendarChange()
{
    title_->setText(QString::fromStdString(FormatDateTime("MMMM, YYYY", calendar_->CalendarDate())));
}

void TSelectDateDlg::CalendarDblClick()
{
    SetModalResult(mrOk);
}

void TSelectDateDlg::TopPanelDblClick()
{
    SetDate(std::trunc(Now()));
}

void TSelectDateDlg::FormKeyDown(TVirtualKey& key, TShiftState shift)
{
    const bool ctrl = (shift & ssCtrl) != 0;
    switch (key) {
    case VK_ESCAPE:
        SetModalResult(mrCancel);
        break;
    case VK_RETURN:
        SetModalResult(mrOk);
        break;
    case VK_TAB:
        // The focus moves on as well, so the keyboard user can still reach the buttons.
        Step(shift == ssShift ? &TUiCalendar::PrevMonth : &TUiCalendar::NextMonth);
        break;
    case VK_PRIOR:
        Step(ctrl ? &TUiCalendar::PrevYear : &TUiCalendar::PrevMonth);
        // Stepped: the grid must not page its current cell, and with it the day, as well.
        key = 0;
        break;
    case VK_NEXT:
        Step(ctrl ? &TUiCalendar::NextYear : &TUiCalendar::NextMonth);
        key = 0;
        break;
    default:
        break;
    }
}

TSelectDateDlg* CreateDateDialog(const QString& caption)
{
    // At 96 pixels per inch nothing is scaled; Qt scales for other resolutions.
    auto* dialog = new TSelectDateDlg(nullptr);
    if (!caption.isEmpty())
        dialog->SetCaption(caption);
    return dialog;
}

bool SelectDate(TDateTime& date, const QString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, const std::vector<std::string>* hints)
{
    const std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog(caption));
    dialog->SetDate(date);
    dialog->Calendar().SetStartOfWeek(startOfWeek);
    dialog->Calendar().SetWeekends(weekends);
    dialog->Calendar().SetWeekendColor(weekendColor);
    if (hints != nullptr) {
        const std::size_t count = std::min<std::size_t>(hints->size(), 4);
        for (std::size_t i = 0; i < count; ++i) {
            if (!(*hints)[i].empty())
                dialog->SetButtonHint(static_cast<int>(i), QString::fromStdString((*hints)[i]));
        }
    }
    if (dialog->ShowModal() != mrOk)
        return false;
    date = dialog->GetDate();
    return true;
}

} // namespace carlume
