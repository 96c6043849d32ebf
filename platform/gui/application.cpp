#include "platform/gui/application.h"

#include "platform/gui/error_guard.h"
#include "platform/gui/font.h"
#include "platform/gui/resources.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>
#include <QWidget>

#include <exception>
#include <initializer_list>

namespace carlume {

namespace {

// The desktop's style, but for the arrows a menu bar shows when its menus do not fit. Every menu bar asks
// for them when it is made, and Qt reads those PNG pictures by first probing every image-format plug-in,
// which loads the JPEG library and others into every window; read as what they are, they load nothing.
class TStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        const bool rightToLeft = (widget != nullptr ? widget->layoutDirection()
                                                    : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
        QIcon icon;
        if (which == SP_ToolBarHorizontalExtensionButton)
            icon = Pngs(rightToLeft ? "toolbar-ext-h-rtl-" : "toolbar-ext-h-", {8, 16, 32});
        else if (which == SP_ToolBarVerticalExtensionButton)
            icon = Pngs("toolbar-ext-v-", {10, 20});
        return icon.isNull() ? QProxyStyle::standardIcon(which, option, widget) : icon;
    }

private:
    // The style's own pictures of those sizes; an empty icon when this Qt has none of them.
    static QIcon Pngs(const char* stem, std::initializer_list<int> sizes)
    {
        QIcon icon;
        for (const int size : sizes) {
            const QImage image =
                ReadBuiltInImage(QStringLiteral(":/qt-project.org/styles/commonstyle/images/") +
                                     QLatin1String(stem) + QString::number(size) + QStringLiteral(".png"),
                                 "png");
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image));
        }
        return icon;
    }
};

} // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    InstallFontSubstitutions();
    setStyle(new TStyle(style()->name()));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // Not RunGuarded: every event would then count as a running handler.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowHandlerError(e.what());
    } catch (...) {
        ShowHandlerError(kUnknownErrorText);
    }
    return false;
}

} // namespace carlume
