#include "components/pick_date.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"

#include "platform/gui/error_guard.h"
#include "platform/gui/resources.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace carlume {

namespace {

struct TYmd {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

TYmd Split(TDateTime date)
{
    std::uint16_t y = 0;
    std::uint16_t m = 0;
    std::uint16_t d = 0;
    DecodeDate(date, y, m, d);
    return {y, m, d};
}

} // namespace

// --- TUiCalendar -------------------------------------------------------------------------------------------

TUiCalendar::TUiCalendar(QWidget* parent)
    : TCustomGrid(parent)
{
    SetFixedCols(0);
    SetColCount(7);
    SetRowCount(7);
    SetFixedRows(1);
    SetOptions((Options() & ~TGridOptions(goRangeSelect)) | goDrawFocusSelected);
    date_ = Date();
    UpdateCalendar();
}

void TUiCalendar::SetCalendarDate(TDateTime value)
{
    if (value == date_)
        return;
    if (!ValidDate(value))
        throw EConvertError("Invalid argument to date encode");
    date_ = value;
    UpdateCalendar();
    Change();
}

void TUiCalendar::SetStartOfWeek(TDayOfWeekName day)
{
    if (day == startOfWeek_)
        return;
    startOfWeek_ = day;
    UpdateCalendar();
}

void TUiCalendar::SetUseCurrentDate(bool value)
{
    if (value == useCurrentDate_)
        return;
    useCurrentDate_ = value;
    if (value) {
        date_ = Date();
        UpdateCalendar();
    }
}

void TUiCalendar::SetWeekendColor(TColor color)
{
    if (color == weekendColor_)
        return;
    weekendColor_ = color;
    update();
}

void TUiCalendar::SetWeekends(TDaysOfWeek days)
{
    if (days == weekends_)
        return;
    weekends_ = days;
    UpdateCalendar();
}

void TUiCalendar::PrevYear()
{
    if (Year() <= 1)
        return;
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() - 1);
}

void TUiCalendar::NextYear()
{
    if (Year() >= 9999)
        return;
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() + 1);
}

void TUiCalendar::UpdateCalendar()
{
    UpdateMonthOffset(false);
}

int TUiCalendar::DaysThisMonth() const
{
    const TYmd ymd = Split(date_);
    return DaysPerMonth(ymd.Year, ymd.Month);
}

QString TUiCalendar::GetCellText(int col, int row) const
{
    if (row == 0) {
        const int day = (static_cast<int>(startOfWeek_) + col) % 7 + 1;
        return QString::fromStdString(FormatSettings().ShortDayName(day));
    }
    const int n = monthOffset_ + col + 7 * (row - 1);
    if (n < 1 || n > DaysThisMonth())
        return {};
    return QString::number(n);
}

bool TUiCalendar::IsWeekend(int col, int) const
{
    return weekends_.Contains(static_cast<TDayOfWeekName>((static_cast<int>(startOfWeek_) + col) % 7));
}

void TUiCalendar::KeyDown(TVirtualKey& key, TShiftState shift)
{
    if (shift == 0) {
        switch (key) {
        case VK_LEFT:
        case VK_SUBTRACT:
            if (Day() > 1)
                SetDay(Day() - 1);
            else
                StepDays(-1);
            key = 0;
            return;
        case VK_RIGHT:
        case VK_ADD:
            if (Day() < DaysThisMonth())
                SetDay(Day() + 1);
            else
                StepDays(1);
            key = 0;
            return;
        default:
            break;
        }
    }
    TCustomGrid::KeyDown(key, shift);
}

void TUiCalendar::KeyPress(QChar& key)
{
    if (key == QLatin1Char('T') || key == QLatin1Char('t')) {
        SetCalendarDate(std::trunc(Now()));
        key = QChar();
    }
    TCustomGrid::KeyPress(key);
}

void TUiCalendar::Change()
{
    if (OnChange)
        OnChange();
}

bool TUiCalendar::SelectCell(int col, int row)
{
    if (readOnly_ && !updating_)
        return false;
    if (GetCellText(col, row).isEmpty())
        return false;
    return TCustomGrid::SelectCell(col, row);
}

void TUiCalendar::DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state)
{
    const QString text = GetCellText(col, row);
    if (IsWeekend(col, row) && (state & gdSelected) == 0)
        canvas.Font().SetColor(weekendColor_);
    const int x = rect.Left + (rect.Right - rect.Left - canvas.TextWidth(text)) / 2;
    const int y = rect.Top + (rect.Bottom - rect.Top - canvas.TextHeight(text)) / 2;
    canvas.TextRect(rect, x, y, text);
}

void TUiCalendar::Click()
{
    TCustomGrid::Click();
    const QString text = GetCellText(Col(), Row());
    if (!text.isEmpty())
        SetDay(text.toInt());
}

void TUiCalendar::resizeEvent(QResizeEvent* event)
{
    TCustomGrid::resizeEvent(event);
    FitCellsToSize();
}

void TUiCalendar::FitCellsToSize()
{
    const int border = BorderStyle() == TGridBorder::bsSingle ? 2 : 0;
    const int w = width() - border;
    const int h = height() - border;
    const bool vertLines = (Options() & (goVertLine | goFixedVertLine)) != 0;
    SetDefaultColWidth(vertLines ? (w - 6 * GridLineWidth()) / 7 : w / 7);
    SetDefaultRowHeight((h - 6 * GridLineWidth()) / 7);
}

int TUiCalendar::GetDateElement(int index) const
{
    const TYmd ymd = Split(date_);
    switch (index) {
    case 1:
        return ymd.Year;
    case 2:
        return ymd.Month;
    case 3:
        return ymd.Day;
    default:
        return -1;
    }
}

void TUiCalendar::SetDateElement(int index, int value)
{
    if (value <= 0)
        return;
    TYmd ymd = Split(date_);
    switch (index) {
    case 1:
        // A year past 9999 is no date; the write is ignored like one of year 0.
        if (value == ymd.Year || value > 9999)
            return;
        ymd.Year = value;
        break;
    case 2:
        if (value > 12 || value == ymd.Month)
            return;
        ymd.Month = value;
        ymd.Day = std::min(ymd.Day, DaysPerMonth(ymd.Year, value));
        break;
    case 3:
        if (value > DaysThisMonth() || value == ymd.Day)
            return;
        ymd.Day = value;
        break;
    default:
        return;
    }
    date_ = EncodeDate(ymd.Year, ymd.Month, ymd.Day);
    useCurrentDate_ = false;
    UpdateMonthOffset(index == 3);
    Change();
}

void TUiCalendar::UpdateMonthOffset(bool dayOnly)
{
    struct Updating {
        bool& flag;
        explicit Updating(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~Updating() { flag = false; }
    } updating(updating_);
    const TYmd ymd = Split(date_);
    const TDateTime first = EncodeDate(ymd.Year, ymd.Month, 1);
    monthOffset_ = 2 - ((DayOfWeek(first) - static_cast<int>(startOfWeek_) + 7) % 7);
    if (monthOffset_ == 2)
        monthOffset_ = -5;
    MoveColRow((ymd.Day - monthOffset_) % 7, (ymd.Day - monthOffset_) / 7 + 1, false, false);
    if (dayOnly)
        repaint();
    else
        update();
}

void TUiCalendar::ChangeMonth(int delta)
{
    TYmd ymd = Split(date_);
    const int oldDay = ymd.Day;
    const int day = delta > 0 ? DaysPerMonth(ymd.Year, ymd.Month) : 1;
    const TDateTime t = EncodeDate(ymd.Year, ymd.Month, day) + delta;
    if (!ValidDate(t))
        return;
    ymd = Split(t);
    ymd.Day = std::min(oldDay, DaysPerMonth(ymd.Year, ymd.Month));
    SetCalendarDate(EncodeDate(ymd.Year, ymd.Month, ymd.Day));
}

void TUiCalendar::StepDays(int days)
{
    const TDateTime t = date_ + days;
    if (ValidDate(t))
        SetCalendarDate(t);
}

// --- TLocCalendar ------------------------------------------------------------------------------------------

TLocCalendar::TLocCalendar(QWidget* parent)
    : TUiCalendar(parent)
{
    // Gets the mouse, never the keyboard: the edit below the popup keeps the focus.
    setFocusPolicy(Qt::NoFocus);
    SetBorderStyle(TGridBorder::bsNone);
    SetColor(clBtnFace);
    SetCalendarDate(std::trunc(Now()));
    SetUseCurrentDate(false);
    SetFixedColor(Color());
    SetOptions(goFixedHorzLine);
}

void TLocCalendar::SetParentColor(TColor color)
{
    SetColor(color);
    SetFixedColor(color);
}

void TLocCalendar::DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state)
{
    TUiCalendar::DrawCell(canvas, col, row, rect, state);
    bool isNumber = false;
    const int d = GetCellText(col, row).toInt(&isNumber);
    if (row == 0 || !isNumber || d < 1)
        return;
    const int y = Year();
    const int m = Month();
    if (d > DaysPerMonth(y, m) || EncodeDate(y, m, d) != Date())
        return;
    TRect frame = rect;
    Frame3D(canvas, frame, clBtnShadow, clBtnHighlight, 1);
}

// --- TPopupCalendar ----------------------------------------------------------------------------------------

namespace {

// Smaller text is no longer read at a glance.
constexpr int kSmallestFontPixels = 7;

// Child widgets of the popup swallow their mouse events: a release on a panel must not reach the popup's
// own rule, which would close it accepting.
void KeepMouse(QWidget& widget)
{
    widget.setAttribute(Qt::WA_NoMousePropagation);
    widget.setFocusPolicy(Qt::NoFocus);
}

// The title's double-click.
class TDblClickFilter : public QObject {
public:
    TDblClickFilter(QObject* parent, std::function<void()> action)
        : QObject(parent)
        , action_(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick) {
            RunGuarded(action_);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

} // namespace

void FontSetDefault(TFont& font)
{
    // The desktop's message font as the application has it (its own font, when it set one).
    const QFont message = QApplication::font("QMessageBox");
    if (message.family().isEmpty() || (message.pointSize() <= 0 && message.pixelSize() <= 0)) {
        font.SetColor(clWindowText);
        font.SetName(QStringLiteral("MS Sans Serif"));
        font.SetSize(8);
        font.SetStyle(0);
        return;
    }
    font.SetName(message.family());
    if (message.pointSize() > 0)
        font.SetSize(message.pointSize());
    else
        font.SetHeight(-message.pixelSize());
    font.SetStyle((message.bold() ? TFontStyles(fsBold) : 0U) |
                  (message.italic() ? TFontStyles(fsItalic) : 0U));
}

TPopupCalendar::TPopupCalendar(QWidget* editor)
    : TPopupWindow(editor)
{
    resize(std::max(PopupCalendarSize.X, 180), std::max(PopupCalendarSize.Y, 120));
    FontSetDefault(font_);
    const QFont qfont = font_.ToQFont();

    // The back panel fills the popup inside its border and bevel; the top panel holds title and buttons.
    backPanel_ = new QFrame(this);
    backPanel_->setGeometry(2, 2, width() - 4, height() - 4);
    KeepMouse(*backPanel_);
    topPanel_ = new QWidget(backPanel_);
    const int w = backPanel_->width();
    topPanel_->setGeometry(0, 0, w, 18);
    KeepMouse(*topPanel_);

    calendar_ = new TLocCalendar(backPanel_);
    calendar_->setGeometry(0, 18, w, backPanel_->height() - 18);
    calendar_->Font().Assign(font_);
    calendar_->OnChange = [this] { CalendarChange(); };
    calendar_->OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
        CalendarMouseUp(button, shift, x, y);
    };

    CreateButtons(w);

    title_ = new QLabel(topPanel_);
    title_->setObjectName(QStringLiteral("titleLabel"));
    title_->setAlignment(Qt::AlignCenter);
    title_->setGeometry(29, 1, w - 58, 14);
    title_->setFont(qfont);
    KeepMouse(*title_);
    title_->installEventFilter(new TDblClickFilter(title_, [this] { TopPanelDblClick(); }));

    SetColor(clBtnFace);
    FitFont();
}

TPopupCalendar::~TPopupCalendar() = default;

QRect TPopupCalendar::ClientRect() const
{
    return backPanel_->geometry();
}

void TPopupCalendar::showEvent(QShowEvent* event)
{
    FitFont();
    TPopupWindow::showEvent(event);
}

void TPopupCalendar::FitFont()
{
    // The popup keeps its size, so a large desktop font is made smaller until every day name and number
    // fits its cell, with a pixel to spare on either side of the frame around today, and every month the
    // title.
    calendar_->FitCellsToSize();
    const int cellWidth = calendar_->DefaultColWidth() - 4;
    const int cellHeight = calendar_->DefaultRowHeight();
    QStringList cells{QStringLiteral("30")};
    for (int col = 0; col < 7; ++col)
        cells.append(calendar_->GetCellText(col, 0));
    QStringList titles;
    for (int month = 1; month <= 12; ++month)
        titles.append(
            QString::fromStdString(FormatDateTime("MMMM, YYYY", EncodeDate(calendar_->Year(), month, 1))));
    const auto widest = [](const QFontMetrics& metrics, const QStringList& texts) {
        int width = 0;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text));
        return width;
    };
    TFont font;
    FontSetDefault(font);
    font.SetColor(font_.Color());
    for (int pixels = QFontInfo(font.ToQFont()).pixelSize(); pixels > kSmallestFontPixels; --pixels) {
        const QFontMetrics metrics(font.ToQFont());
        if (widest(metrics, cells) <= cellWidth && metrics.height() <= cellHeight &&
            widest(metrics, titles) <= title_->width())
            break;
        font.SetHeight(-(pixels - 1));
    }
    font_.Assign(font);
    calendar_->Font().Assign(font_);
    title_->setFont(font_.ToQFont());
}

void TPopupCalendar::SetColor(TColor color)
{
    color_ = color;
    calendar_->SetParentColor(color);
    QPalette palette = title_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font_.Color()));
    title_->setPalette(palette);
    update();
}

void TPopupCalendar::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(color_);
    canvas.FillRect(Rect(0, 0, width(), height()));
    canvas.Brush().SetColor(clWindowFrame);
    canvas.FrameRect(Rect(0, 0, width(), height()));
    TRect bevel = Rect(1, 1, width() - 1, height() - 1);
    Frame3D(canvas, bevel, clBtnHighlight, clBtnShadow, 1);
}

TPopupValue TPopupCalendar::GetValue()
{
    return TPopupValue::FromDate(calendar_->CalendarDate());
}

void TPopupCalendar::SetValue(const TPopupValue& value)
{
    try {
        std::string text = value.ToText();
        std::erase(text, FormatSettings().DateSeparator);
        const bool blank = text.find_first_not_of(" \t") == std::string::npos;
        // A date value of NullDate stands for an empty field as well.
        if (blank || value.IsNull() || value.IsEmpty() || (value.IsDate() && value.ToDateTime() == NullDate))
            calendar_->SetCalendarDate(Date());
        else
            calendar_->SetCalendarDate(value.ToDateTime());
        CalendarChange();
    } catch (const std::exception&) {
        // Today, and the title in any case: a first opening with no date must not show an empty title.
        calendar_->SetCalendarDate(Date());
        CalendarChange();
    }
}

void TPopupCalendar::KeyDown(TVirtualKey& key, TShiftState shift)
{
    TPopupWindow::KeyDown(key, shift);
    switch (key) {
    case VK_PRIOR:
        if ((shift & ssCtrl) != 0)
            calendar_->PrevYear();
        else
            calendar_->PrevMonth();
        key = 0;
        break;
    case VK_NEXT:
        if ((shift & ssCtrl) != 0)
            calendar_->NextYear();
        else
            calendar_->NextMonth();
        key = 0;
        break;
    default:
        calendar_->KeyDown(key, shift);
        break;
    }
}

void TPopupCalendar::KeyPress(QChar& key)
{
    TPopupWindow::KeyPress(key);
    if (!key.isNull())
        calendar_->KeyPress(key);
}

void TPopupCalendar::CalendarChange()
{
    title_->setText(QString::fromStdString(FormatDateTime("MMMM, YYYY", calendar_->CalendarDate())));
}

void TPopupCalendar::CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != TMouseButton::mbLeft || shift != 0)
        return;
    int col = 0;
    int row = 0;
    calendar_->MouseToCell(x, y, col, row);
    if (row > 0 && !calendar_->GetCellText(col, row).isEmpty())
        CloseUp(true);
}

void TPopupCalendar::TopPanelDblClick()
{
    calendar_->SetCalendarDate(std::trunc(Now()));
}

void TPopupCalendar::CreateButtons(int panelWidth)
{
    struct Spec {
        int Left;
        const char* Glyph;
        const char* Hint;
        void (TUiCalendar::*Step)();
    };
    const std::array<Spec, 4> specs{{{-1, "PREV2", SPrevYear, &TUiCalendar::PrevYear},
                                     {12, "PREV1", SPrevMonth, &TUiCalendar::PrevMonth},
                                     {panelWidth - 26, "NEXT1", SNextMonth, &TUiCalendar::NextMonth},
                                     {panelWidth - 13, "NEXT2", SNextYear, &TUiCalendar::NextYear}}};
    for (std::size_t i = 0; i < specs.size(); ++i) {
        auto* button = new TUiTimerSpeedButton(topPanel_);
        button->setObjectName(QString::fromLatin1(specs[i].Glyph));
        button->setGeometry(specs[i].Left, -1, 14, 14);
        button->SetGlyph(LoadBitmapResource(QString::fromLatin1(specs[i].Glyph)));
        button->OnClick = [calendar = calendar_, step = specs[i].Step](QObject*) { (calendar->*step)(); };
        buttons_[i] = button;
        SetButtonHint(static_cast<int>(i), QString::fromLatin1(specs[i].Hint));
    }
}

void TPopupCalendar::SetButtonHint(int index, const QString& hint)
{
    // Tooltips have no long hint: the text after "|" is not shown.
    buttons_.at(static_cast<std::size_t>(index))->SetHint(hint.section(QLatin1Char('|'), 0, 0));
}

TUiTimerSpeedButton::TUiTimerSpeedButton(QWidget* parent)
    : TUiSpeedButton(parent)
{
    SetStyle(TButtonStyle::bsWin31);
    SetAllowTimer(true);
}

TPopupCalendar* CreatePopupCalendar(QWidget* editor)
{
    // At 96 pixels per inch the popup keeps its own font; Qt scales for other resolutions.
    return new TPopupCalendar(editor);
}

void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                        TColor weekendColor, const std::vector<std::string>* hints, bool)
{
    auto* calendar = dynamic_cast<TPopupCalendar*>(popup);
    if (calendar == nullptr)
        return;
    calendar->Calendar().SetStartOfWeek(startOfWeek);
    calendar->Calendar().SetWeekendColor(weekendColor);
    calendar->Calendar().SetWeekends(weekends);
    if (hints == nullptr)
        return;
    const std::size_t count = std::min<std::size_t>(hints->size(), 4);
    for (std::size_t i = 0; i < count; ++i) {
        if (!(*hints)[i].empty())
            calendar->SetButtonHint(static_cast<int>(i), QString::fromStdString((*hints)[i]));
    }
}

} // namespace carlume
