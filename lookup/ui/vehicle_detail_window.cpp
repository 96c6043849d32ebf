#include "lookup/ui/vehicle_detail_window.h"

#include "platform/gui/error_guard.h"
#include "ui_vehicle_detail_window.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

#include <algorithm>

namespace carlume {

TVehicleDetail::TVehicleDetail(QWidget* owner)
    : TForm(owner)
    , ui_(std::make_unique<Ui::TVehicleDetail>())
{
    ui_->setupUi(this);
    SetColor(VehicleDetailColor);
    SetPosition(TPosition::poScreenCenter);
    ui_->Label1->resize(ui_->Label1->sizeHint());

    QTableWidget& grid = *ui_->InfoGrid;
    grid.setColumnCount(1);
    grid.setRowCount(1);
    grid.horizontalHeader()->setFixedHeight(VehicleDetailRowHeight);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Tab goes on to OK and Cancel; the arrow keys move between the rows.
    grid.setTabKeyNavigation(false);
    grid.viewport()->installEventFilter(this);
    grid.horizontalHeader()->viewport()->installEventFilter(this);

    anchors_.Add(grid, akLeft | akTop | akRight | akBottom);
    anchors_.Add(*ui_->Ok1, akRight | akBottom);
    anchors_.Add(*ui_->Cancel1, akRight | akBottom);
    // Fitting the form to its controls must not drag the right-anchored ones along.
    anchors_.LiftRight();
    FitFormToControls(*this);
    anchors_.Apply();
    anchors_.RestoreRight();
}

TVehicleDetail::~TVehicleDetail() = default;

void TVehicleDetail::SetCaption(const std::string& caption)
{
    TForm::SetCaption(QString::fromStdString(caption));
}

void TVehicleDetail::SetDefaultColWidth(int width)
{
    QHeaderView& header = *ui_->InfoGrid->horizontalHeader();
    header.setDefaultSectionSize(width);
    for (int column = 0; column < ui_->InfoGrid->columnCount(); ++column)
        ui_->InfoGrid->setColumnWidth(column, width);
}

void TVehicleDetail::SetColCount(int count)
{
    ui_->InfoGrid->setColumnCount(std::max(count, 0));
}

void TVehicleDetail::SetRowCount(int count)
{
    // Row 0 is the title row, which the grid keeps as its header.
    ui_->InfoGrid->setRowCount(std::max(count - 1, 0));
}

void TVehicleDetail::SetCell(int column, int row, const std::string& text)
{
    QTableWidget& grid = *ui_->InfoGrid;
    if (column < 0 || column >= grid.columnCount() || row < 0 || row > grid.rowCount())
        return;
    const QString value = QString::fromStdString(text);
    if (row == 0) {
        if (QTableWidgetItem* title = grid.horizontalHeaderItem(column))
            title->setText(value);
        else
            grid.setHorizontalHeaderItem(column, new QTableWidgetItem(value));
        return;
    }
    if (QTableWidgetItem* cell = grid.item(row - 1, column))
        cell->setText(value);
    else
        grid.setItem(row - 1, column, new QTableWidgetItem(value));
}

void TVehicleDetail::SetColWidth(int column, int width)
{
    ui_->InfoGrid->setColumnWidth(column, width);
}

int TVehicleDetail::TextWidth(const std::string& text) const
{
    return QFontMetrics(ui_->InfoGrid->font()).horizontalAdvance(QString::fromStdString(text));
}

TModalResult TVehicleDetail::ShowModal()
{
    return TForm::ShowModal();
}

int TVehicleDetail::Row() const
{
    const int row = ui_->InfoGrid->currentRow();
    return row >= 0 ? row + 1 : 0;
}

std::string TVehicleDetail::Cell(int column, int row) const
{
    const QTableWidget& grid = *ui_->InfoGrid;
    const QTableWidgetItem* cell = row == 0 ? grid.horizontalHeaderItem(column) : grid.item(row - 1, column);
    return cell != nullptr ? cell->text().toStdString() : std::string();
}

int TVehicleDetail::RowCount() const
{
    return ui_->InfoGrid->rowCount() + 1;
}

int TVehicleDetail::ColCount() const
{
    return ui_->InfoGrid->columnCount();
}

int TVehicleDetail::ColWidth(int column) const
{
    return ui_->InfoGrid->columnWidth(column);
}

void TVehicleDetail::FormShow()
{
    QTableWidget& grid = *ui_->InfoGrid;
    if (grid.rowCount() > 0 && grid.currentRow() < 0)
        grid.setCurrentCell(0, 0);
    // Sized in client terms: the frame is the window system's, and the offscreen platform has none.
    SetClientHeight(VehicleDetailInitialHeight);
    int columnWidths = 0;
    for (int column = 0; column < grid.columnCount(); ++column)
        columnWidths += grid.columnWidth(column);
    TVehicleDetailSizing sizing;
    sizing.FormWidth = ClientWidth();
    sizing.FormHeight = ClientHeight();
    sizing.GridWidth = grid.width();
    sizing.GridHeight = grid.height();
    sizing.RowCount = RowCount();
    sizing.DefaultRowHeight = VehicleDetailRowHeight;
    sizing.ColumnWidthSum = columnWidths;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        sizing.ScreenWidth = screen->geometry().width();
        sizing.ScreenHeight = screen->geometry().height();
    }
    const TVehicleDetailSize size = VehicleDetailFormSize(sizing);
    SetClientHeight(size.Height);
    SetClientWidth(size.Width);
    CenterForm(*this);
}

void TVehicleDetail::InfoGridDblClick()
{
    SetModalResult(mrOk);
}

void TVehicleDetail::DoShow()
{
    FormShow();
    TForm::DoShow();
}

void TVehicleDetail::resizeEvent(QResizeEvent* event)
{
    TForm::resizeEvent(event);
    anchors_.Apply();
}

bool TVehicleDetail::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == ui_->InfoGrid->viewport() || watched == ui_->InfoGrid->horizontalHeader()->viewport())) {
        RunGuarded([this] { InfoGridDblClick(); });
    }
    return TForm::eventFilter(watched, event);
}

std::unique_ptr<IVehicleDetailWindow> TVehicleDetailFactory::CreateVehicleDetailWindow()
{
    return std::make_unique<TVehicleDetail>();
}

} // namespace carlume
