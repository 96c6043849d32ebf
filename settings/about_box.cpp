#include "settings/about_box.h"

#include "components/gradient_button.h"
#include "components/scheme_button.h"
#include "foundation/string_helpers.h"
#include "foundation/window_helpers.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/gui/color.h"
#include "platform/gui/error_guard.h"
#include "platform/gui/resources.h"
#include "platform/paths.h"
#include "platform/sysutils.h"
#include "platform/utf8.h"
#include "settings/email_bridge.h"
#include "settings/jpeg_picture.h"
#include "settings/pm_maint_prefs.h"
#include "settings/settings_modules.h"
#include "settings/version_files.h"
#include "ui_about_box.h"
#include "ui_about_details.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHash>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSyntaxHighlighter>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <strings.h>

namespace carlume {

namespace {

constexpr TColor kOuterPanelColor = 15980235;
constexpr const char* kToggleToNotice = "Click to show Third Party Copyright/Royalty Information";
constexpr const char* kToggleToProduct = "Click to show Product Information";

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

void FillBackground(QWidget& widget, TColor color)
{
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    palette.setColor(QPalette::Base, ToQColor(color));
    widget.setPalette(palette);
}

TFont MakeFont(const char* name, int points, TColor color = clWindowText, TFontStyles style = 0)
{
    TFont font;
    font.SetName(QString::fromLatin1(name));
    font.SetSize(points);
    font.SetColor(color);
    font.SetStyle(style);
    return font;
}

void SetUpGradientButton(TGradientButton& button, const char* caption, const char* hint = nullptr)
{
    button.SetFont(MakeFont("Arial", 8));
    button.SetGradient(true);
    button.SetCaption(QString::fromUtf8(caption));
    if (hint) {
        button.SetHint(QString::fromUtf8(hint));
        button.SetShowHint(true);
    }
    button.SetTabStop(true);
}

// The modification time of a file in the program's date type; 0 when it cannot be read.
TDateTime FileDate(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    std::tm local{};
    ::localtime_r(&info.st_mtime, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0);
}

// Restores the window's cursor on every way out.
class TWindowCursor {
public:
    TWindowCursor(QWidget& window, Qt::CursorShape shape)
        : window_(window)
    {
        window_.setCursor(shape);
    }
    ~TWindowCursor() { window_.unsetCursor(); }
    TWindowCursor(const TWindowCursor&) = delete;
    TWindowCursor& operator=(const TWindowCursor&) = delete;

private:
    QWidget& window_;
};

bool LessNoCase(const QString& a, const QString& b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// The details text is padded with blanks counting a wide character as two cells of the fixed-width font.
// That font has no such characters of its own: their glyphs come from other fonts and seldom take exactly
// two of its cells, so each gets the letter spacing that makes it do so, and the columns line up on screen.
class TWideCells {
public:
    explicit TWideCells(const QFont& font)
        : metrics_(font)
        , twoCells_(2 * metrics_.horizontalAdvance(QLatin1Char(' ')))
    {
    }

    // The spacing the character at `at` needs (0 for all but wide ones); `length` gets its length in `text`.
    qreal Spacing(const QString& text, qsizetype at, qsizetype& length)
    {
        char32_t cp = text.at(at).unicode();
        length = 1;
        if (QChar::isHighSurrogate(cp) && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
            length = 2;
        }
        if (CharacterWidth(cp) != 2)
            return 0;
        const auto known = spacing_.constFind(cp);
        if (known != spacing_.cend())
            return *known;
        return spacing_[cp] = twoCells_ - metrics_.horizontalAdvance(text.mid(at, length));
    }

    // The width of the line as the pane shows it.
    int Width(const QString& text)
    {
        qreal width = metrics_.horizontalAdvance(text);
        for (qsizetype at = 0, length = 0; at < text.size(); at += length)
            width += Spacing(text, at, length);
        return int(std::ceil(width));
    }

private:
    QFontMetricsF metrics_;
    qreal twoCells_;
    QHash<char32_t, qreal> spacing_;
};

class TWideCellHighlighter final : public QSyntaxHighlighter {
public:
    TWideCellHighlighter(QTextDocument* document, const QFont& font)
        : QSyntaxHighlighter(document)
        , cells_(font)
    {
    }

protected:
    void highlightBlock(const QString& text) override
    {
        for (qsizetype at = 0, length = 0; at < text.size(); at += length) {
            const qreal spacing = cells_.Spacing(text, at, length);
            if (spacing == 0)
                continue;
            QTextCharFormat format;
            format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            format.setFontLetterSpacing(spacing);
            setFormat(int(at), int(length), format);
        }
    }

private:
    TWideCells cells_;
};

} // namespace

QImage LoadPictureFile(const std::string& path)
{
    std::string ext = ExtractFileExt(path);
    const auto is = [&](const char* known) { return strcasecmp(ext.c_str(), known) == 0; };
    if (is(".jpg") || is(".jpeg")) {
        const TJpegPicture picture = DecodeJpegFile(path);
        QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
        for (int y = 0; y < picture.Height; ++y)
            std::copy_n(picture.Rgb.data() + std::size_t(y) * picture.Width * 3,
                        std::size_t(picture.Width) * 3, image.scanLine(y));
        return image;
    }
    if (is(".bmp") || is(".ico")) {
        QImage image;
        if (!image.load(Q(path)))
            throw Exception(Format("Cannot read the picture %s", VisibleControls(path)));
        return image;
    }
    throw Exception(
        Format("Unknown picture file extension (%s)", ext.empty() ? std::string(".") : VisibleControls(ext)));
}

// ---- About box --------------------------------------------------------------------------------------------

TAboutBox::TAboutBox(QWidget* owner, const TAboutBoxProperties& properties,
                     const TApplicationServices& services)
    : TForm(owner)
    , ui_(std::make_unique<Ui::TAboutBox>())
    , properties_(properties)
    , services_(services)
{
    ui_->setupUi(this);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetColor(clWhite);
    FillBackground(*ui_->pnlOuter, kOuterPanelColor);
    for (QWidget* panel : {ui_->pnlInner, ui_->pnlProductInfo, ui_->pnlCopyrightInfo})
        FillBackground(*panel, clWhite);
    SetControlFont(*ui_->lblProductTitle, MakeFont("MS Sans Serif", 10, clWindowText, fsBold));
    SetControlFont(*ui_->lblShowCopyright, MakeFont("MS Sans Serif", 8, clBlue));
    ui_->lblShowCopyright->setCursor(Qt::PointingHandCursor);
    ui_->lblShowCopyright->installEventFilter(this);

    SetUpGradientButton(*ui_->btnPasteInstallLocation, "Install Loc to Clipboard",
                        "Paste Installation Location to Windows Clipboard");
    SetUpGradientButton(*ui_->OKButton, "OK");
    ui_->OKButton->SetModalResult(mrOk);
    TSchemeButton& details = *ui_->BtnShowDetails;
    details.SetCaption(QStringLiteral("?"));
    details.SetHint(QStringLiteral("View Version Details"));
    details.SetShowHint(true);
    details.SetFont(MakeFont("MS Sans Serif", 10, clBlue));
    details.SetColorScheme(csNeoLilac);
    details.SetGradient(true);
    details.SetHotTrack(true);

    ui_->btnPasteInstallLocation->OnClick = [this] { btnPasteInstallLocationClick(); };
    ui_->OKButton->OnClick = [this] { SetModalResult(mrOk); };
    details.OnClick = [this] { BtnShowDetailsClick(); };
    FormCreate();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::MakeLink(QLabel& label)
{
    SetControlFont(label, MakeFont("MS Sans Serif", 8, clBlue, fsUnderline));
    label.setCursor(CursorFor(crUiHand));
    label.installEventFilter(this);
}

void TAboutBox::FormCreate()
{
    Ui::TAboutBox& ui = *ui_;
    ui.lblProductTitle->setText(Q(properties_.ProductTitle));
    std::string version = properties_.Version;
    if (!Trim(properties_.BuildNumber).empty())
        version += "  Build: " + properties_.BuildNumber;
    ui.lblVersion->setText(Q(version));
    const TDateTime built = FileDate(ProgramFileName());
    ui.lblCompileDate->setText(built != 0 ? Q(DateToStr(built)) : QString());

    MakeLink(*ui.lblInstall);
    const QFontMetrics metrics(ui.lblInstall->font());
    // The label's width + 20 would run past its panel, which cuts it off mid-letter: the panel's edge bounds
    // it, so that the dots always show.
    const int visibleWidth = ui.lblInstall->parentWidget()->width() - ui.lblInstall->x();
    ui.lblInstall->setText(
        Q(FitTextToWidth([&](const std::string& text) { return metrics.horizontalAdvance(Q(text)); },
                         properties_.InstallLocation, std::min(ui.lblInstall->width() + 20, visibleWidth))));
    ui.lblInstall->adjustSize();
    ui.lblInstall->setToolTip(Q(properties_.InstallLocation));

    ui.lblAnniversaryDate->setText(Q(DateToStr(properties_.AnniversaryDate)));
    ui.lblAutoAnniversaryDate->setText(Q(DateToStr(properties_.AutoAnniversaryDate)));
    ui.lblPhone->setText(Q("Phone: " + properties_.Phone));
    ui.lblFax->setText(Q("Fax: " + properties_.Fax));
    QString copyright = ui.Copyright->text();
    copyright.replace(QStringLiteral("#START#"), Q(properties_.StartYear));
    copyright.replace(QStringLiteral("#END#"), Q(properties_.EndYear));
    ui.Copyright->setText(copyright);
    ui.memCopyrightInfo->setPlainText(Q(properties_.CopyrightText));
    // Read-only, but with a caret when it has the focus, so that the focus shows.
    ui.memCopyrightInfo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    MakeLink(*ui.lblWebSite);
    MakeLink(*ui.lblEmail);
    ui.lblWebSite->adjustSize();
    ui.lblEmail->adjustSize();
    if (FileExists(properties_.LogoFile)) {
        // The box is worth more than its picture: it opens without one, as for a missing logo. A missing or
        // broken decoder module is the installation's to mend, so the user is told which file it is.
        try {
            ui.ImageLogo->setPixmap(QPixmap::fromImage(LoadPictureFile(properties_.LogoFile)));
        } catch (const std::exception& error) {
            LogMessage(services_, Format("The logo %s cannot be shown: %s",
                                         VisibleControls(properties_.LogoFile), error.what()));
            if (const auto* module = dynamic_cast<const ESettingsModuleError*>(&error))
                ShowErrorMessage(services_, module->Message());
        }
    }
    BringPanelToFront();
    ui.lblShowCopyright->setText(QString::fromLatin1(kToggleToNotice));
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto* label = qobject_cast<QLabel*>(watched);
        if (label && label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            RunGuarded([&] {
                if (label == ui_->lblWebSite)
                    lblWebSiteClick();
                else if (label == ui_->lblEmail)
                    lblEmailClick();
                else if (label == ui_->lblInstall)
                    lblInstallClick();
                else if (label == ui_->lblShowCopyright)
                    lblShowCopyrightClick();
            });
            return true;
        }
    }
    return TForm::eventFilter(watched, event);
}

void TAboutBox::lblWebSiteClick()
{
    ShellExec(services_, ui_->lblWebSite->text().toStdString(), "", "", 5);
}

void TAboutBox::lblEmailClick()
{
    ShellExec(services_, "MailTo:" + ui_->lblEmail->text().toStdString(), "", "", 5);
}

void TAboutBox::lblInstallClick()
{
    ShellExec(services_, properties_.InstallLocation, "", "", 1);
}

void TAboutBox::btnPasteInstallLocationClick()
{
    if (services_.Clipboard)
        services_.Clipboard->SetText(properties_.InstallLocation);
}

void TAboutBox::BtnShowDetailsClick()
{
    ShowAboutDetails(properties_, services_, this);
}

void TAboutBox::BringPanelToFront()
{
    QWidget* front = noticeShown_ ? ui_->pnlCopyrightInfo : ui_->pnlProductInfo;
    QWidget* back = noticeShown_ ? ui_->pnlProductInfo : ui_->pnlCopyrightInfo;
    front->show();
    front->raise();
    // Out of sight behind the other, its controls must not take the focus (it moves on if it was there).
    back->hide();
}

void TAboutBox::lblShowCopyrightClick()
{
    noticeShown_ = !noticeShown_;
    BringPanelToFront();
    ui_->lblShowCopyright->setText(QString::fromLatin1(noticeShown_ ? kToggleToProduct : kToggleToNotice));
}

void ShowAboutBox(const TAboutBoxProperties& properties, const TApplicationServices& services)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    TAboutBox box(owner, properties, services);
    box.ShowModal();
}

// ---- Installation-details window --------------------------------------------------------------------------

TFmAboutDetails::TFmAboutDetails(QWidget* owner, const TAboutBoxProperties& properties,
                                 const TApplicationServices& services)
    : TForm(owner)
    , ui_(std::make_unique<Ui::TFmAboutDetails>())
    , properties_(properties)
    , services_(services)
    , programFolder_(ProgramFolder())
{
    ui_->setupUi(this);
    bottomGap_ = ui_->PnlBottom->y() - ui_->PnlUpper->height();
    cleanupLaidOut_ = ui_->PnlCleanupVersionFile->size();
    titleLaidOut_ = ui_->LblCleanupTitle->geometry();
    listLaidOut_ = ui_->LbxCleanupVersions_Show->geometry();
    hintLaidOut_ = ui_->LblCleanupHint->geometry();
    SetPosition(TPosition::poOwnerFormCenter);
    const TFont courier = MakeFont("Courier", 8);
    SetFont(courier);
    SetColor(clInfoBk);
    for (QWidget* panel : {static_cast<QWidget*>(ui_->PnlUpper), ui_->PnlBottom, ui_->PnlCleanupVersionFile,
                           static_cast<QWidget*>(ui_->MemoDetails)})
        FillBackground(*panel, clInfoBk);
    SetControlFont(*ui_->MemoDetails, courier);
    // Owned by the pane's document.
    new TWideCellHighlighter(ui_->MemoDetails->document(), ui_->MemoDetails->font());
    SetControlFont(*ui_->LblCleanupTitle, MakeFont("Arial", 10, clWindowText, fsBold));
    SetControlFont(*ui_->LblCleanupHint, MakeFont("Arial", 8));
    SetControlFont(*ui_->LbxCleanupVersions_Show, courier);

    SetUpGradientButton(*ui_->btnPasteClipboard, "Copy to Clipboard", "Paste to Windows Clipboard");
    ui_->btnPasteClipboard->SetDefault(true);
    SetUpGradientButton(*ui_->BtnCleanup, "Cleanup Version File");
    SetUpGradientButton(*ui_->BtnEmail, "Email to TSC");
    SetUpGradientButton(*ui_->btnClose, "&Close");
    ui_->btnClose->SetDefault(true);
    ui_->btnPasteClipboard->OnClick = [this] { btnPasteClipboardClick(); };
    ui_->BtnEmail->OnClick = [this] { BtnEmailClick(); };
    ui_->BtnCleanup->OnClick = [this] { BtnCleanupClick(); };
    ui_->btnClose->OnClick = [this] { Close(); };
    ui_->MemoDetails->viewport()->installEventFilter(this);
    FormCreate();
}

TFmAboutDetails::~TFmAboutDetails() = default;

void TFmAboutDetails::FormCreate()
{
    ui_->BtnCleanup->hide();
    ui_->PnlCleanupVersionFile->hide();
    const TVersionDetails details = BuildVersionDetails(programFolder_);
    lines_ = details.Lines;
    versionFiles_ = details.VersionFiles;
    ui_->ListBoxVersions->clear();
    for (const auto& file : versionFiles_)
        ui_->ListBoxVersions->addItem(Q(file));
    QStringList text;
    for (const auto& line : lines_)
        text << Q(line);
    ui_->MemoDetails->setPlainText(text.join(QLatin1Char('\n')));

    TWideCells cells(Font().ToQFont());
    int widest = 0;
    for (const auto& line : details.VersionLines)
        widest = std::max(widest, cells.Width(Q(line)));
    // Never wider than the screen (the form sees to that): the pane scrolls to the rest.
    if (widest + 40 > ClientWidth())
        SetClientWidth(widest + 40);
}

void TFmAboutDetails::resizeEvent(QResizeEvent* event)
{
    TForm::resizeEvent(event);
    // The upper part takes the room the bottom strip leaves, which stays at the bottom; Email and Close keep
    // their distance to the right edge.
    const int width = ClientWidth();
    QWidget& bottom = *ui_->PnlBottom;
    bottom.setGeometry(0, ClientHeight() - bottom.height(), width, bottom.height());
    const int upperHeight = std::max(0, bottom.y() - bottomGap_);
    ui_->PnlUpper->resize(width, upperHeight);
    ui_->MemoDetails->resize(width, upperHeight);
    ui_->PnlCleanupVersionFile->resize(width, upperHeight);
    // The cleanup list takes the room as the pane does, with its heading above it and the hint below.
    const QSize grown = QSize(width, upperHeight) - cleanupLaidOut_;
    ui_->LblCleanupTitle->setGeometry(titleLaidOut_.adjusted(0, 0, grown.width(), 0));
    ui_->LbxCleanupVersions_Show->setGeometry(listLaidOut_.adjusted(0, 0, grown.width(), grown.height()));
    ui_->LblCleanupHint->setGeometry(
        hintLaidOut_.adjusted(0, 0, grown.width(), 0).translated(0, grown.height()));
    ui_->BtnEmail->move(width - 164, ui_->BtnEmail->y());
    ui_->btnClose->move(width - 83, ui_->btnClose->y());
}

bool TFmAboutDetails::CleanupShown() const
{
    return !ui_->PnlCleanupVersionFile->isHidden();
}

void TFmAboutDetails::btnPasteClipboardClick()
{
    std::string text;
    for (const auto& line : lines_)
        text += line + "\n";
    if (services_.Clipboard)
        services_.Clipboard->SetText(text);
}

void TFmAboutDetails::BtnEmailClick()
{
    std::string recipient;
    std::string attachment;
    const std::string subject = properties_.UserName + ": Polimark Version Info";
    {
        const TWindowCursor hourglass(*this, Qt::WaitCursor);
        std::string folder = properties_.InstallLocation;
        AddBackslash(folder);
        attachment = folder + "VersionMessage.txt";
        std::string bytes;
        for (const auto& line : lines_)
            bytes += line + "\r\n";
        // Made anew for every message and read by the plug-in at once: no need to wait for the disk.
        WriteFileAtomically(attachment, bytes, TWriteMode::Unsynced);
        if (!properties_.MaintenanceFolder.empty() && DirectoryExists(properties_.MaintenanceFolder))
            recipient = TPMMaint_Prefs(properties_.MaintenanceFolder).EmailAddress;
    }
    IDialogService* dialogs = services_.Dialogs;
    if (!dialogs)
        throw Exception("No dialog service");
    TtscEmailIntf email(*dialogs, services_.Logger);
    email.CheckLoaded();
    if (email.Loaded() && !email.SendEmail(recipient, "", subject, attachment, "", ""))
        ShowErrorMessage(services_, "The e-mail was not sent: the e-mail plug-in could not send it.");
}

bool TFmAboutDetails::eventFilter(QObject* watched, QEvent* event)
{
    if (ui_->MemoDetails && watched == ui_->MemoDetails->viewport() &&
        event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if (mouse->button() == Qt::RightButton && (mouse->modifiers() & all) == all) {
            RunGuarded([this] { ShowCleanupView(); });
            return true;
        }
    }
    // The same gesture must not also bring up the pane's own menu.
    if (ui_->MemoDetails && watched == ui_->MemoDetails->viewport() && event->type() == QEvent::ContextMenu) {
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if ((static_cast<QContextMenuEvent*>(event)->modifiers() & all) == all)
            return true;
    }
    return TForm::eventFilter(watched, event);
}

void TFmAboutDetails::ShowCleanupView()
{
    std::size_t width = 0;
    for (const auto& entry : versionFiles_)
        width = std::max(width, Utf8Width(ExtractFileName(entry)) + 1);
    QListWidget& list = *ui_->LbxCleanupVersions_Show;
    list.clear();
    std::vector<std::pair<QString, QString>> lines; // text, path
    for (const auto& entry : versionFiles_) {
        std::string buildDate;
        if (!ReadCleanupDate(programFolder_ + entry, buildDate))
            continue;
        lines.emplace_back(Q(CleanupLine(ExtractFileName(entry), width, buildDate)),
                           Q(programFolder_ + entry));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return LessNoCase(a.first, b.first); });
    for (const auto& [text, path] : lines) {
        auto* item = new QListWidgetItem(text, &list);
        item->setData(Qt::UserRole, path);
    }
    ui_->PnlCleanupVersionFile->show();
    ui_->PnlCleanupVersionFile->raise();
    ui_->BtnCleanup->show();
    ui_->MemoDetails->hide();
    ui_->btnPasteClipboard->hide();
    ui_->BtnEmail->hide();
}

void TFmAboutDetails::BtnCleanupClick()
{
    QListWidget& list = *ui_->LbxCleanupVersions_Show;
    const auto selected = list.selectedItems();
    if (selected.isEmpty()) {
        ShowMessageDlg(services_, "Please select file you want to cleanup", TMsgDlgType::mtCustom);
        return;
    }
    QListWidgetItem& item = *selected.front();
    const std::string path = item.data(Qt::UserRole).toString().toStdString();
    if (!AskYesNo(services_,
                  "Are you sure you want to cleanup " + VisibleControls(ExtractFileName(path)) + " file?"))
        return;
    if (!ClearVersionBuildDate(path)) {
        ShowErrorMessage(services_, "The build date was not cleared: the file " + VisibleControls(path) +
                                        " no longer exists.");
        return;
    }
    item.setText(Q(ClearedCleanupLine(item.text().toStdString())));
}

void ShowAboutDetails(const TAboutBoxProperties& properties, const TApplicationServices& services,
                      QWidget* owner)
{
    std::unique_ptr<TFmAboutDetails> window;
    {
        const ScopedScreenCursor hourglass(services.ScreenCursor, crHourGlass);
        window = std::make_unique<TFmAboutDetails>(owner, properties, services);
    }
    window->ShowModal();
}

} // namespace carlume
