#include "lookup/ui/lookup_window.h"

#include "components/date_util.h"
#include "foundation/string_helpers.h"
#include "foundation/window_helpers.h"
#include "lookup/chassix_ui.h"
#include "lookup/printer_report_canvas.h"
#include "platform/gui/error_guard.h"
#include "platform/gui/resources.h"
#include "platform/ini_files.h"
#include "platform/sysutils.h"
#include "ui_lookup_window.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QValidator>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace carlume {

namespace {

// What the VIN field shows: whatever is typed or pasted, in upper case.
class TUpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// Check boxes with the classic gap between box and caption, so that the captions fit the room the layout
// gives them.
class TClassicCheckBoxStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_CheckBoxLabelSpacing)
            return 4;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Enter (either key) in a watched control runs a handler and goes no further, so that no button takes it
// as well.
class TEnterKeyHook final : public QObject {
public:
    TEnterKeyHook(QWidget& control, std::function<void()> handler)
        : QObject(&control)
        , handler_(std::move(handler))
    {
        control.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        RunGuarded(handler_);
        return true;
    }

private:
    std::function<void()> handler_;
};

// A handler run each time a control changes its size.
class TResizeHook final : public QObject {
public:
    TResizeHook(QWidget& control, std::function<void()> handler)
        : QObject(&control)
        , handler_(std::move(handler))
    {
        control.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            handler_();
        return false;
    }

private:
    std::function<void()> handler_;
};

std::string TextOf(const QComboBox& combo)
{
    return combo.currentIndex() >= 0 ? combo.currentText().toStdString() : std::string();
}

// Selects the line of `list` equal to `text` (letter case ignored); none when it holds no such line.
void SelectText(QComboBox& combo, const TStringList& list, const std::string& text)
{
    combo.setCurrentIndex(list.IndexOf(text));
}

// Shows the lines of `list` in `combo`, none selected.
void FillCombo(QComboBox& combo, const TStringList& list)
{
    const QSignalBlocker quiet(combo);
    combo.clear();
    for (int i = 0; i < list.Count(); ++i)
        combo.addItem(QString::fromStdString(list[i]));
    combo.setCurrentIndex(-1);
}

// The entry object of the line of `list` selected in `combo`, or null.
template <class Entry> Entry* Selected(const TStringList& list, const QComboBox& combo)
{
    const int index = combo.currentIndex();
    if (index < 0 || index >= list.Count())
        return nullptr;
    return dynamic_cast<Entry*>(list.Objects(index));
}

} // namespace

std::string WebUpdateFailedMessage()
{
    return "The Web Update page " + std::string(WebUpdateAddress) + " could not be opened.";
}

TDateTime OriginalSymbolDate()
{
    return EncodeDate(1950, 1, 1);
}

// --- construction -----------------------------------------------------------------------------------------

TfrmCarquery::TfrmCarquery(QWidget* owner, TVinRecord& record, bool startedWithParams,
                           TVehicleInfoLookup& lookup, const TVinSearchContext& context,
                           IPrinterService& printer, TShowAboutBox showAboutBox)
    : TForm(owner)
    , ui_(std::make_unique<Ui::TfrmCarquery>())
    , vinRecord_(record)
    , startedWithParams_(startedWithParams)
    , lookup_(lookup)
    , context_(context)
    , printer_(printer)
    , showAboutBox_(std::move(showAboutBox))
{
    ui_->setupUi(this);
    // The layout gives the panels their designed room here, before anything sizes the window. On a screen
    // too short for the window the result grid then gives up rows rather than slide under the panels below
    // it, and it never grows beyond its designed place.
    layout()->activate();
    ui_->grdDetail->setMaximumSize(ui_->grdDetail->size());
    resultAnchors_.Add(*ui_->grdDetail, akLeft | akTop | akRight | akBottom);
    new TResizeHook(*ui_->Panel1, [this] { resultAnchors_.Apply(); });
    layout()->setMenuBar(ui_->MainMenu1);
    for (QAction* action : ui_->File1->actions()) {
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("N1"));
    }
    SetColor(LookupWindowColor);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(466);
    SetClientHeight(490);

    TFont bold;
    bold.Assign(Font());
    bold.SetStyle(fsBold);
    // Without anti-aliasing the bold face keeps one-pixel stems at this size and reads as regular.
    QFont heading = bold.ToQFont();
    heading.setStyleStrategy(QFont::PreferDefault);
    ui_->Label3->setFont(heading);
    QPalette criteria = ui_->Panel2->palette();
    criteria.setColor(QPalette::WindowText, ToQColor(CriteriaTextColor));
    ui_->Panel2->setPalette(criteria);
    QPalette grid = ui_->grdDetail->palette();
    grid.setColor(QPalette::Base, ToQColor(clWhite));
    ui_->grdDetail->setPalette(grid);
    ui_->grdDetail->verticalHeader()->setDefaultSectionSize(18);
    ui_->grdDetail->horizontalHeader()->setDefaultSectionSize(160);
    ui_->txtVIN->setValidator(new TUpperCaseValidator(ui_->txtVIN));
    auto* checkBoxStyle = new TClassicCheckBoxStyle(QApplication::style()->name());
    checkBoxStyle->setParent(this);
    ui_->chkOrigSym->setStyle(checkBoxStyle);
    ui_->chkShowAllDetail->setStyle(checkBoxStyle);

    imageList_.AddImage(LoadBitmapResource(QStringLiteral("RESULTFAIL")).Image());
    imageList_.AddImage(LoadBitmapResource(QStringLiteral("RESULTOK")).Image());

    ConnectHandlers();

    if (!startedWithParams_) {
        // No caller to hand back to, so nothing to cancel: Print and Close move right into its place.
        ui_->btnPrint->move(ui_->btnClose->x(), ui_->btnPrint->y());
        ui_->btnClose->move(ui_->btnCancel->x(), ui_->btnClose->y());
        ui_->btnCancel->hide();
    }
    resultShown_ = false;
    origEffective_ = vinRecord_.Effective;
    LoadSavePrintFontSize(true);
    ui_->txtEffective->SetDate(Now());
    // Checking the box runs its handler, which sets the date field.
    if (startedWithParams_)
        ui_->chkOrigSym->setChecked(origEffective_ == OriginalSymbolDate());
    try {
        FillLists();
    } catch (...) {
        // A window that is never built runs no destructor: its engine objects go here.
        FreeStringsObjects(models_);
        FreeStringsObjects(makes_);
        throw;
    }
    ui_->txtVIN->setText(QString::fromStdString(vinRecord_.VIN).toUpper());
}

TfrmCarquery::~TfrmCarquery()
{
    FreeStringsObjects(models_);
    FreeStringsObjects(makes_);
}

void TfrmCarquery::ConnectHandlers()
{
    ConnectGuarded(ui_->btnSearchByVIN, &QPushButton::clicked, this, [this] { btnSearchByVINClick(); });
    ConnectGuarded(ui_->btnSearchByYMM, &QPushButton::clicked, this, [this] { btnSearchByYMMClick(); });
    ConnectGuarded(ui_->btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    ConnectGuarded(ui_->btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ConnectGuarded(ui_->mnuPrint, &QAction::triggered, this, [this] { mnuPrintClick(); });
    ConnectGuarded(ui_->PrintoutFontSize1, &QAction::triggered, this, [this] { PrintoutFontSize1Click(); });
    ConnectGuarded(ui_->mnuClose, &QAction::triggered, this, [this] { mnuCloseClick(); });
    ConnectGuarded(ui_->mnuWebUpdate, &QAction::triggered, this, [this] { mnuWebUpdateClick(); });
    ConnectGuarded(ui_->mnuAbout, &QAction::triggered, this, [this] { mnuAboutClick(); });
    // Only what the user picks changes the lists; code selecting an entry runs nothing.
    ConnectGuarded(ui_->lstYear, &QComboBox::activated, this, [this](int) { FillModels(); });
    ConnectGuarded(ui_->lstMake, &QComboBox::activated, this, [this](int) { FillModels(); });
    ConnectGuarded(ui_->lstModel, &QComboBox::activated, this, [this](int) { lstModelChange(); });
    // Toggled, not clicked: checking the box from code runs the handler too.
    ConnectGuarded(ui_->chkOrigSym, &QCheckBox::toggled, this, [this](bool) { chkOrigSymClick(); });
    ConnectGuarded(ui_->chkShowAllDetail, &QCheckBox::toggled, this,
                   [this](bool) { chkShowAllDetailClick(); });
    ConnectGuarded(ui_->grdDetail, &QTableWidget::cellClicked, this, [this](int, int) { grdDetailClick(); });
    ConnectGuarded(ui_->PageSearchType, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == ui_->PageSearchType->indexOf(ui_->tabVin))
            tabVinShow();
        else
            tabYMMShow();
    });
    ui_->grdDetail->SetOnDrawCell(
        [this](TCanvas& canvas, int column, int row, const TRect& rect, bool focused) {
            grdDetailDrawCell(canvas, column, row, rect, focused);
        });
    ui_->PageSearchType->SetOnDrawTab([this](TCanvas& canvas, int index, const TRect& rect, bool active) {
        PageSearchTypeDrawTab(canvas, index, rect, active);
    });
    new TEnterKeyHook(*ui_->txtVIN, [this] { txtVINKeyDown(); });
    new TEnterKeyHook(*ui_->lstModel, [this] { lstModelKeyDown(); });
}

// --- lists ------------------------------------------------------------------------------------------------

void TfrmCarquery::FreeMakeObjects()
{
    FreeStringsObjects(makes_);
    FillCombo(*ui_->lstMake, makes_);
}

void TfrmCarquery::FreeModelObjects()
{
    FreeStringsObjects(models_);
    FillCombo(*ui_->lstModel, models_);
}

void TfrmCarquery::SelectFromRecord()
{
    const int yearIndex = ui_->lstYear->findText(QString::number(vinRecord_.ModelYear), Qt::MatchExactly);
    ui_->lstYear->setCurrentIndex(yearIndex);
    SelectText(*ui_->lstMake, makes_, Trim(vinRecord_.Make));
}

void TfrmCarquery::FillLists()
{
    if (ui_->lstYear->count() > 0)
        return;
    ClearResults();
    IChassixCalls& engine = context_.Lookup.Engine;
    if (makes_.Count() == 0) {
        makes_.SetSorted(false);
        FreeMakeObjects();
        try {
            engine.GetListOfMakes(makes_);
            makes_.SetSorted(true);
        } catch (...) {
            FreeMakeObjects();
            throw;
        }
        FillCombo(*ui_->lstMake, makes_);
    }
    const int first = engine.GetEarliestSymbolYearAvailable();
    const int last = ExtractYear(Now()) + 1;
    {
        const QSignalBlocker quiet(ui_->lstYear);
        for (int year = first; year <= last; ++year)
            ui_->lstYear->addItem(QString::number(year));
        ui_->lstYear->setCurrentIndex(-1);
    }
    SelectFromRecord();
    FillModels();
    if (ui_->lstYear->currentIndex() < 0)
        ui_->lstYear->setCurrentIndex(ui_->lstYear->count() - 1);
    if (ui_->lstMake->currentIndex() < 0 && ui_->lstMake->count() > 0) {
        ui_->lstMake->setCurrentIndex(0);
        FillModels();
    }
    SelectText(*ui_->lstModel, models_, Trim(vinRecord_.Model));
}

void TfrmCarquery::FillModels()
{
    FreeModelObjects();
    const std::string yearText = TextOf(*ui_->lstYear);
    const TChassixMakeEntry* make = Selected<TChassixMakeEntry>(makes_, *ui_->lstMake);
    if (!yearText.empty() && make != nullptr) {
        models_.SetSorted(false);
        try {
            context_.Lookup.Engine.GetListOfModels(models_, *make, yearText);
            models_.SetSorted(true);
        } catch (...) {
            FreeModelObjects();
            throw;
        }
        FillCombo(*ui_->lstModel, models_);
    }
    ClearResults();
}

// --- result -----------------------------------------------------------------------------------------------

void TfrmCarquery::ClearResults()
{
    TStringGrid& grid = *ui_->grdDetail;
    grid.clearContents();
    grid.SetRowCount(1);
    grid.SetColCount(2);
    grid.SetCell(0, 0, "");
    grid.SetCell(1, 0, "");
    const int labelWidth = grid.width() / 3;
    grid.SetColWidth(0, labelWidth);
    grid.SetColWidth(1, grid.width() - labelWidth - 30);
    grid.setCurrentCell(0, 0);
    ui_->btnPrint->setEnabled(false);
    ui_->mnuPrint->setEnabled(false);
    resultShown_ = false;
}

void TfrmCarquery::FillResultGrid()
{
    ClearResults();
    TStringGrid& grid = *ui_->grdDetail;
    const std::unique_ptr<TStringList> lines =
        vinRecord_.ToStrings(ui_->chkShowAllDetail->isChecked(), "=", false);
    for (int i = 0; i < lines->Count(); ++i) {
        const std::string& line = (*lines)[i];
        const std::size_t split = line.find('=');
        const std::string label = line.substr(0, split);
        const std::string value = split == std::string::npos ? std::string() : line.substr(split + 1);
        if (!grid.Cell(0, 0).empty())
            grid.SetRowCount(grid.RowCount() + 1);
        const int row = grid.RowCount() - 1;
        grid.SetCell(0, row, label);
        grid.SetCell(1, row, " " + value);
    }
    ui_->btnPrint->setEnabled(true);
    ui_->mnuPrint->setEnabled(true);
    resultShown_ = true;
}

void TfrmCarquery::ShowResultImage(bool found)
{
    resultImage_ = found ? riSuccess : riFailure;
    ui_->imgSuccess->setPixmap(QPixmap::fromImage(imageList_.Image(resultImage_)));
}

void TfrmCarquery::SetCriteriaCaption(const std::string& text)
{
    // A plain-text label shows "&" as it is: nothing to double.
    ui_->pnlCriteria->setText(QString::fromStdString(" " + text));
}

TDateTime TfrmCarquery::GetEffectiveDate() const
{
    return ui_->txtEffective->GetDate();
}

std::string TfrmCarquery::ResultCell(int column, int row) const
{
    return ui_->grdDetail->Cell(column, row);
}

int TfrmCarquery::ResultRowCount() const
{
    return ui_->grdDetail->RowCount();
}

// --- searches ---------------------------------------------------------------------------------------------

void TfrmCarquery::SearchByVIN(bool silent)
{
    ClearResults();
    if (silent)
        ui_->txtEffective->SetDate(vinRecord_.Effective);
    const TVinSearchResult result = carlume::SearchByVIN(
        context_, vinRecord_, ui_->txtVIN->text().toStdString(), GetEffectiveDate(),
        [this](const std::string& criteria) { SetCriteriaCaption("Lookup by " + criteria); });
    if (result == TVinSearchResult::InvalidVin) {
        SetCriteriaCaption(std::string(InvalidVinCriteria));
        ShowResultImage(false);
        return;
    }
    if (result == TVinSearchResult::Found) {
        FillResultGrid();
        ShowResultImage(true);
    } else {
        ShowResultImage(false);
    }
    SetCriteriaCaption("Lookup By: " + vinRecord_.VIN);
}

bool TfrmCarquery::ChooseDetailByYMM()
{
    const std::string yearText = TextOf(*ui_->lstYear);
    TChassixMakeEntry* make = Selected<TChassixMakeEntry>(makes_, *ui_->lstMake);
    TChassixModelEntry* model = Selected<TChassixModelEntry>(models_, *ui_->lstModel);
    if (yearText.empty() || make == nullptr || model == nullptr)
        return false;
    const std::string criteria =
        Trim(yearText) + " " + Trim(TextOf(*ui_->lstMake)) + " " + Trim(TextOf(*ui_->lstModel));
    // Nothing of an earlier search may pass for this one's result: start from a cleared record.
    const TDateTime effective = GetEffectiveDate();
    vinRecord_.Clear();
    vinRecord_.Effective = effective;
    SetCriteriaCaption("Lookup by " + criteria);
    const bool found =
        LookupByYMM(context_.Lookup, vinRecord_, model, yearText, make->MakeKey(), model->ModelKey()) &&
        vinRecord_.ModelYear > 0;
    ShowResultImage(found);
    return found;
}

// --- handlers ---------------------------------------------------------------------------------------------

void TfrmCarquery::DoShow()
{
    FormShow();
    TForm::DoShow();
}

void TfrmCarquery::FormShow()
{
    filling_ = true;
    SelectFromRecord();
    vinTabShown_ = !vinRecord_.VIN.empty();
    ui_->PageSearchType->setCurrentWidget(vinTabShown_ ? ui_->tabVin : ui_->tabYMM);
    filling_ = false;
    ClearResults();
    FitFormToControls(*this);
    // Any smaller, and the buttons and the grid would go under the labels.
    setMinimumSize(size());
    // The tab that was current already announced nothing.
    FocusCurrentTab();
}

void TfrmCarquery::FocusCurrentTab()
{
    if (ui_->PageSearchType->currentWidget() == ui_->tabVin)
        tabVinShow();
    else
        tabYMMShow();
}

void TfrmCarquery::tabVinShow()
{
    SetActiveControl(ui_->txtVIN);
}

void TfrmCarquery::tabYMMShow()
{
    SetActiveControl(ui_->lstYear);
}

bool TfrmCarquery::LookupDateGiven()
{
    // No date would search as of 30 December 1899: the engine would miss vehicles and the hand-back file
    // its effective date.
    if (GetEffectiveDate() != NullDate)
        return true;
    ShowInfoMessage(context_.Services, std::string(LookupDateRequiredMessage));
    ui_->txtEffective->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrmCarquery::btnSearchByVINClick()
{
    if (!LookupDateGiven())
        return;
    SearchByVIN(false);
    ui_->btnSearchByVIN->setFocus(Qt::OtherFocusReason);
}

void TfrmCarquery::btnSearchByYMMClick()
{
    if (filling_)
        return;
    // The first list without a selection: a search never reads an entry that is not selected.
    QComboBox* missing = nullptr;
    for (QComboBox* list : {ui_->lstYear, ui_->lstMake, ui_->lstModel}) {
        if (list->currentIndex() < 0) {
            missing = list;
            break;
        }
    }
    if (missing != nullptr) {
        ShowInfoMessage(context_.Services, std::string(YmmRequiredMessage));
        missing->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!LookupDateGiven())
        return;
    ClearResults();
    if (ChooseDetailByYMM())
        FillResultGrid();
    ui_->btnSearchByYMM->setFocus(Qt::OtherFocusReason);
}

void TfrmCarquery::lstModelChange()
{
    ui_->btnSearchByYMM->setEnabled(ui_->lstModel->currentIndex() >= 0);
}

void TfrmCarquery::chkShowAllDetailClick()
{
    // Only a shown result is listed again; listing the record otherwise would make it look found.
    if (resultShown_)
        FillResultGrid();
}

void TfrmCarquery::chkOrigSymClick()
{
    const bool original = ui_->chkOrigSym->isChecked();
    ui_->txtEffective->SetDate(original ? OriginalSymbolDate() : Now());
    ui_->txtEffective->setEnabled(!original);
}

void TfrmCarquery::btnCloseClick()
{
    if (startedWithParams_) {
        if (resultShown_) {
            SetModalResult(mrOk);
            return;
        }
        if (AskYesNo(context_.Services, std::string(CancelLookupQuestion))) {
            SetModalResult(mrCancel);
            return;
        }
        // The tab the window opened on may no longer be the one shown.
        FocusCurrentTab();
        return;
    }
    // The result is set first: when the note below cannot be written, the error shows and the window
    // still closes with it.
    SetModalResult(resultShown_ ? mrOk : mrCancel);
    TIniFile ini(GetWindowsDir() + std::string(CqueryIniName), TWriteMode::Unsynced);
    ini.WriteBool("Settings", "UseOrigSymbol", ui_->chkOrigSym->isChecked());
}

void TfrmCarquery::mnuCloseClick()
{
    btnCloseClick();
}

void TfrmCarquery::btnPrintClick()
{
    PrintDetails();
}

void TfrmCarquery::mnuPrintClick()
{
    PrintDetails();
}

void TfrmCarquery::PrintDetails()
{
    if (!printer_.ExecutePrintDialog(this))
        return;
    PrintVehicleDetailReport(vinRecord_, ui_->chkShowAllDetail->isChecked(), printFontSize_,
                             printer_.Printer());
}

void TfrmCarquery::PrintoutFontSize1Click()
{
    const std::optional<std::int32_t> size = AskPrintoutFontSize(context_.Services, printFontSize_);
    if (!size)
        return;
    printFontSize_ = *size;
    LoadSavePrintFontSize(false);
}

void TfrmCarquery::mnuWebUpdateClick()
{
    if (!AskYesNo(context_.Services, std::string(WebUpdateQuestion)))
        return;
    // Without a browser the user would be left with neither the page nor the window.
    if (!ShellExec(context_.Services, std::string(WebUpdateAddress), "", "", 1)) {
        ShowErrorMessage(context_.Services, WebUpdateFailedMessage());
        return;
    }
    Close();
}

void TfrmCarquery::mnuAboutClick()
{
    const auto about = std::make_unique<TAboutBoxProperties>();
    about->ProductTitle = AboutProductTitle;
    const std::string& appPath = lookup_.AppInfo().AppPath();
    about->LogoFile = appPath + std::string(AboutLogoFileName);
    about->Version = lookup_.FileVersion();
    about->InstallLocation = appPath;
    // Built from its parts: a date text would read differently in every locale.
    about->AnniversaryDate = EncodeDate(GetCurrentYear(), 12, 31);
    about->UserName = AboutUserName;
    about->CopyrightText = DataVendorNotice;
    showAboutBox_(*about, context_.Services);
}

void TfrmCarquery::Button1Click()
{
    ShowInfoMessage(context_.Services, std::string(OriginalSymbolHelp));
}

void TfrmCarquery::grdDetailClick()
{
    const TStringGrid& grid = *ui_->grdDetail;
    const int row = grid.Row() >= 0 ? grid.Row() : 0;
    if (context_.Services.Clipboard != nullptr)
        context_.Services.Clipboard->SetText(grid.Cell(1, row));
}

void TfrmCarquery::grdDetailDrawCell(TCanvas& canvas, int column, int row, const TRect& rect, bool focused)
{
    canvas.Font().Assign(Font());
    TColor background = clWhite;
    if (column == 0) {
        canvas.Font().SetColor(clBlack);
    } else {
        canvas.Font().SetStyle(fsBold);
        canvas.Font().SetColor(focused ? clWhite : ValueTextColor);
        if (focused)
            background = FocusedValueColor;
    }
    canvas.Brush().SetColor(background);
    canvas.FillRect(rect);
    canvas.TextOut(rect.Left + 6, rect.Top, QString::fromStdString(ui_->grdDetail->Cell(column, row)));
    // A focused label keeps its colours: the dotted frame shows where the focus is.
    if (focused && column == 0)
        canvas.DrawFocusRect(rect);
}

void TfrmCarquery::PageSearchTypeDrawTab(TCanvas& canvas, int index, const TRect& rect, bool active)
{
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(active ? ActiveTabColor : Color());
    canvas.TextOut(rect.Left + 5, rect.Top + 3,
                   QString::fromStdString(ui_->PageSearchType->PageCaption(index)));
}

void TfrmCarquery::txtVINKeyDown()
{
    ui_->btnSearchByVIN->setFocus(Qt::OtherFocusReason);
    ui_->btnSearchByVIN->click();
}

void TfrmCarquery::lstModelKeyDown()
{
    ui_->btnSearchByYMM->setFocus(Qt::OtherFocusReason);
    ui_->btnSearchByYMM->click();
}

// --- settings ---------------------------------------------------------------------------------------------

void TfrmCarquery::LoadSavePrintFontSize(bool load)
{
    const std::string& appPath = lookup_.AppInfo().AppPath();
    if (load)
        printFontSize_ = LoadPrintoutFontSize(appPath);
    else
        StorePrintoutFontSize(appPath, printFontSize_);
}

} // namespace carlume
