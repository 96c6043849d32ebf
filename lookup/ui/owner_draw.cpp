#include "lookup/ui/owner_draw.h"

#include "platform/gui/error_guard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyledItemDelegate>

#include <utility>

namespace carlume {

namespace {

// The tab bar of a page control: the style draws each tab's shape, the owner its caption.
class TOwnerDrawTabBar final : public QTabBar {
public:
    explicit TOwnerDrawTabBar(QWidget* parent)
        : QTabBar(parent)
    {
    }

    TPageControl::TDrawTab OnDrawTab;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // The current tab last, as it overlaps its neighbours.
        const int current = currentIndex();
        for (int pass = 0; pass < 2; ++pass) {
            for (int index = 0; index < count(); ++index) {
                if ((index == current) != (pass == 1))
                    continue;
                QStyleOptionTab option;
                initStyleOption(&option, index);
                style()->drawControl(QStyle::CE_TabBarTabShape, &option, &painter, this);
                if (!OnDrawTab)
                    continue;
                painter.save();
                TCanvas canvas(&painter);
                RunGuarded([&] { OnDrawTab(canvas, index, FromQRect(tabRect(index)), index == current); });
                painter.restore();
            }
        }
        // The owner draws only the caption: the focus mark is the tab bar's to draw.
        if (hasFocus() && current >= 0) {
            TCanvas canvas(&painter);
            canvas.DrawFocusRect(FromQRect(tabRect(current).adjusted(3, 3, -3, -3)));
        }
    }
};

// Hands every cell of a string grid to its owner's draw handler.
class TOwnerDrawDelegate final : public QStyledItemDelegate {
public:
    explicit TOwnerDrawDelegate(TStringGrid& grid)
        : QStyledItemDelegate(&grid)
        , grid_(grid)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const TStringGrid::TDrawCell& draw = grid_.OnDrawCell();
        if (!draw) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->setClipRect(option.rect);
        TCanvas canvas(painter);
        const bool focused = (option.state & QStyle::State_HasFocus) != 0;
        RunGuarded([&] { draw(canvas, index.column(), index.row(), FromQRect(option.rect), focused); });
        painter->restore();
    }

private:
    TStringGrid& grid_;
};

} // namespace

// --- page control -----------------------------------------------------------------------------------------

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent)
{
    setTabBar(new TOwnerDrawTabBar(this));
}

void TPageControl::SetOnDrawTab(TDrawTab handler)
{
    static_cast<TOwnerDrawTabBar*>(tabBar())->OnDrawTab = std::move(handler);
    tabBar()->update();
}

std::string TPageControl::PageCaption(int index) const
{
    return index >= 0 && index < count() ? tabText(index).toStdString() : std::string();
}

// --- string grid ------------------------------------------------------------------------------------------

TSelectionKeepingTable::TSelectionKeepingTable(QWidget* parent)
    : QTableWidget(parent)
{
}

QItemSelectionModel::SelectionFlags TSelectionKeepingTable::selectionCommand(const QModelIndex& index,
                                                                             const QEvent* event) const
{
    // Qt clears a single selection on a click beside the cells and toggles it off with Ctrl; a chooser
    // would then show nothing selected while OK still takes the current line.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QTableWidget::selectionCommand(index, event);
    if (selectionMode() == QAbstractItemView::SingleSelection && (command & QItemSelectionModel::Deselect))
        return (command & ~QItemSelectionModel::SelectionFlags(QItemSelectionModel::Deselect)) |
               QItemSelectionModel::ClearAndSelect;
    return command;
}

TStringGrid::TStringGrid(QWidget* parent)
    : TSelectionKeepingTable(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab and Shift+Tab go on to the next and previous control; the arrow keys move between the cells.
    setTabKeyNavigation(false);
    setItemDelegate(new TOwnerDrawDelegate(*this));
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex before = currentIndex();
    QTableWidget::keyPressEvent(event);
    // A cell reached by the keys is clicked, as one reached by the mouse.
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before)
        Q_EMIT cellClicked(after.row(), after.column());
}

std::string TStringGrid::Cell(int column, int row) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text().toStdString() : std::string();
}

void TStringGrid::SetCell(int column, int row, const std::string& text)
{
    if (column < 0 || row < 0 || column >= columnCount() || row >= rowCount())
        return;
    const QString value = QString::fromStdString(text);
    if (QTableWidgetItem* cell = item(row, column)) {
        cell->setText(value);
        return;
    }
    setItem(row, column, new QTableWidgetItem(value));
}

void TStringGrid::SetOnDrawCell(TDrawCell handler)
{
    onDrawCell_ = std::move(handler);
    viewport()->update();
}

} // namespace carlume
