#include "ProgramStyle.h"

#include <QApplication>

namespace app {

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return {};
    return QProxyStyle::standardIcon(icon, option, widget);
}

void ProgramStyle::install() {
    QApplication::setStyle(new ProgramStyle);
}

} // namespace app
