// The reference for bench/lookup_window.sh: a plain QDialog with the kinds and numbers of controls the
// lookup window has (resources/lookup_window.ui), filled as the window fills them on the stand-in engine,
// opened and closed the way lookup_window_driver opens and closes the window. Only Qt, none of our code.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLabel* Label(QWidget* parent, const char* text, int x, int y, int width)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(x, y, width, 13);
    return label;
}

QPushButton* Button(QWidget* parent, const char* text, int x, int y, int width, int height)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setGeometry(x, y, width, height);
    button->setAutoDefault(false);
    return button;
}

QFrame* Panel(QWidget* parent, QFrame::Shadow shadow, int height = -1)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | shadow);
    if (height >= 0)
        panel->setFixedHeight(height);
    return panel;
}

QImage Mark(QRgb colour)
{
    QImage image(16, 13, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void Build(QDialog& dialog)
{
    dialog.setWindowTitle(QStringLiteral("Tamsel Software Carlume"));
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(0xD6, 0xDF, 0xF7));
    dialog.setPalette(palette);
    dialog.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* menu = new QMenuBar(&dialog);
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Print"))->setEnabled(false);
    file->addAction(QStringLiteral("Printout &Font Size"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"));
    QMenu* help = menu->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Update from the Web"));
    help->addAction(QStringLiteral("&About"));
    layout->setMenuBar(menu);

    auto* pages = new QTabWidget(&dialog);
    pages->setFixedHeight(89);
    auto* vin = new QWidget;
    Label(vin, "Type the VIN and click the Search button", 32, 16, 201);
    (new QLineEdit(vin))->setGeometry(32, 32, 233, 21);
    Button(vin, "&Search...", 272, 33, 65, 22);
    pages->addTab(vin, QStringLiteral("          Search by VIN          "));
    auto* ymm = new QWidget;
    Label(ymm, "Choose the Year, Make and Model and click the Search button", 32, 16, 297);
    auto* years = new QComboBox(ymm);
    years->setGeometry(32, 32, 73, 21);
    for (int year = 2009; year <= QDate::currentDate().year() + 1; ++year)
        years->addItem(QString::number(year));
    years->setCurrentIndex(years->count() - 1);
    auto* makes = new QComboBox(ymm);
    makes->setGeometry(108, 32, 137, 21);
    makes->addItems({QStringLiteral("Arvelo"), QStringLiteral("Brenmoor"), QStringLiteral("Caldrix")});
    (new QComboBox(ymm))->setGeometry(248, 32, 129, 21);
    Button(ymm, "&Search...", 384, 31, 65, 22);
    pages->addTab(ymm, QStringLiteral("     Search by Year, Make and Model     "));
    layout->addWidget(pages);

    QFrame* results = Panel(&dialog, QFrame::Sunken);
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->setContentsMargins(4, 4, 4, 4);
    resultsLayout->addStretch();
    auto* hint =
        new QLabel(QStringLiteral("Click a row to put it's value on the Windows Clipboard"), results);
    hint->setAlignment(Qt::AlignCenter);
    resultsLayout->addWidget(hint);
    QFont bold = dialog.font();
    bold.setBold(true);
    Label(results, "Search Results", 16, 13, 85)->setFont(bold);
    auto* grid = new QTableWidget(1, 2, results);
    grid->setGeometry(36, 31, 400, 252);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setColumnWidth(0, 133);
    grid->setColumnWidth(1, 264);
    grid->setItem(0, 0, new QTableWidgetItem);
    grid->setItem(0, 1, new QTableWidgetItem);
    layout->addWidget(results);

    QFrame* bottom = Panel(&dialog, QFrame::Raised, 77);
    Label(bottom, "Date of Lookup:", 16, 8, 77);
    auto* date = new QLineEdit(bottom);
    date->setGeometry(96, 4, 97, 21);
    date->setInputMask(QStringLiteral("99/99/9999;_"));
    date->setText(QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
    (new QCheckBox(QStringLiteral("Use original symbol (pre-2006 in MA)"), bottom))
        ->setGeometry(16, 32, 196, 17);
    (new QCheckBox(QStringLiteral("Show all Detail Items"), bottom))->setGeometry(16, 52, 196, 17);
    Button(bottom, "?", 212, 32, 17, 17);
    Button(bottom, "&Print", 310, 28, 75, 25)->setEnabled(false);
    Button(bottom, "&Close", 384, 28, 75, 25);
    Button(bottom, "&Cancel", 384, 28, 75, 25)->hide();
    layout->addWidget(bottom);

    QFrame* status = Panel(&dialog, QFrame::Raised, 17);
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    QFrame* markPanel = Panel(status, QFrame::Raised);
    markPanel->setFixedWidth(18);
    const QPixmap marks[] = {QPixmap::fromImage(Mark(qRgb(0xC0, 0, 0))),
                             QPixmap::fromImage(Mark(qRgb(0, 0x80, 0)))};
    auto* mark = new QLabel(markPanel);
    mark->setGeometry(1, 1, 16, 13);
    mark->setPixmap(marks[0]);
    statusLayout->addWidget(markPanel);
    auto* criteria = new QLabel(status);
    criteria->setFrameStyle(QFrame::Panel | QFrame::Raised);
    statusLayout->addWidget(criteria);
    layout->addWidget(status);

    dialog.resize(466, 490);
    dialog.move(QGuiApplication::primaryScreen()->availableGeometry().center() - dialog.rect().center());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QDialog dialog;
    Build(dialog);
    dialog.show();
    QApplication::processEvents();
    dialog.hide();
    return 0;
}
