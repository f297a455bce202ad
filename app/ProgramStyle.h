#pragma once

#include <QProxyStyle>

namespace app {

// The program's style: the platform's own, but for the icon of a menu bar's overflow button.
// Qt loads that icon from a PNG file as every menu bar is made, and reading it loads every
// image-format plugin; the program's menu bar never overflows (the window has a fixed size),
// so the button is never shown and needs no icon.
class ProgramStyle final : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Makes it the application's style.
    static void install();
};

} // namespace app
