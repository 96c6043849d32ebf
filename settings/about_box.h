#pragma once

// The About box and the installation-details window it opens. The lookup window fills the properties and
// calls `ShowAboutBox`; the windows only read them.

#include "foundation/shared_values.h"
#include "platform/gui/form.h"
#include "platform/services.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>
#include <string>
#include <vector>

class QLabel;

namespace Ui {
class TAboutBox;
class TFmAboutDetails;
} // namespace Ui

namespace carlume {

/// Reads a picture file by its extension: JPEG through libjpeg, BMP and ICO through Qt. Raises `Exception`
/// for an unknown extension and for a file that cannot be decoded.
QImage LoadPictureFile(const std::string& path);

class TAboutBox : public TForm {
    Q_OBJECT
public:
    /// Builds the box from `properties` (read, never changed; the caller keeps them alive while the box is).
    TAboutBox(QWidget* owner, const TAboutBoxProperties& properties, const TApplicationServices& services);
    ~TAboutBox() override;

    Ui::TAboutBox& Layout() { return *ui_; }
    /// True while the notice panel lies in front.
    bool NoticeShown() const { return noticeShown_; }

    void lblWebSiteClick();
    void lblEmailClick();
    void lblInstallClick();
    void btnPasteInstallLocationClick();
    void BtnShowDetailsClick();
    void lblShowCopyrightClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void MakeLink(QLabel& label);
    void BringPanelToFront();

    std::unique_ptr<Ui::TAboutBox> ui_;
    const TAboutBoxProperties& properties_;
    TApplicationServices services_;
    bool noticeShown_ = false;
};

/// Shows the About box modally over the active window; errors raised while it is built reach the caller.
/// A logo that cannot be read leaves the picture empty; the error, naming the file, goes to the services'
/// log. A missing or broken decoder module also leaves it empty, with an error message naming the module.
void ShowAboutBox(const TAboutBoxProperties& properties, const TApplicationServices& services);

class TFmAboutDetails : public TForm {
    Q_OBJECT
public:
    /// Builds the details text of the installation in the program folder (reads files).
    TFmAboutDetails(QWidget* owner, const TAboutBoxProperties& properties,
                    const TApplicationServices& services);
    ~TFmAboutDetails() override;

    Ui::TFmAboutDetails& Layout() { return *ui_; }
    /// The lines of the text pane.
    const std::vector<std::string>& Lines() const { return lines_; }
    /// True once the hidden cleanup view is shown.
    bool CleanupShown() const;

    void btnPasteClipboardClick();
    void BtnEmailClick();
    void BtnCleanupClick();
    void ShowCleanupView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TFmAboutDetails> ui_;
    const TAboutBoxProperties& properties_;
    TApplicationServices services_;
    std::string programFolder_;
    std::vector<std::string> lines_;
    std::vector<std::string> versionFiles_;
    /// The space between the upper part and the bottom strip, as laid out.
    int bottomGap_ = 0;
    /// The cleanup panel and the places of its controls, as laid out.
    QSize cleanupLaidOut_;
    QRect titleLaidOut_, listLaidOut_, hintLaidOut_;
};

/// Shows the installation-details window modally over `owner`, with the hourglass while it reads the files.
void ShowAboutDetails(const TAboutBoxProperties& properties, const TApplicationServices& services,
                      QWidget* owner = nullptr);

} // namespace carlume
