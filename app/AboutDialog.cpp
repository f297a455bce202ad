#include "AboutDialog.h"

#include "Artwork.h"
#include "UiText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace app {

AboutDialog::AboutDialog() : SmallDialog(QStringLiteral("About"), {356, 122}, {264, 24, 81, 25}) {
    setObjectName(QStringLiteral("Form2"));
    okButton()->setFont(QApplication::font("QPushButton"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setGeometry(16, 24, 32, 32);
    icon->setPixmap(artwork::programIcon().pixmap(QSize(32, 32), devicePixelRatioF()));

    addLabel("Label1", uitext::versionLine(), {112, 16, 89, 17}, false);
    // Wider than the 121 pixels the layout once had: the notice must not be cut off.
    addLabel("Label2", uitext::noticeLine(), {96, 40, 160, 17}, false);
    addLabel(
        "Label3",
        QStringLiteral("  Statwright's record offsets come from the public tutorial on basic hex "
                       "editing of Pokémon Diamond and Pearl, with thanks to its author."),
        {8, 72, 353, 49}, true);
}

} // namespace app
