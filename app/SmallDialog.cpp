#include "SmallDialog.h"

#include "Artwork.h"
#include "UiText.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace app {

namespace {

// A screen reader announces a window of the dialog role as a dialog that opened. These windows
// stay plain widgets, without a parent, where they open today; only their role is a dialog's.
QAccessibleInterface* dialogRole(const QString&, QObject* object) {
    if (auto* dialog = qobject_cast<SmallDialog*>(object))
        return new QAccessibleWidget(dialog, QAccessible::Dialog);
    return nullptr;
}

} // namespace

SmallDialog::SmallDialog(const QString& caption, QSize clientSize, QRect okButton)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    static const bool installed = [] {
        QAccessible::installFactory(dialogRole);
        return true;
    }();
    Q_UNUSED(installed);
    setWindowTitle(caption);
    setWindowIcon(artwork::programIcon());
    setFixedSize(clientSize);
    // The main window is disabled while this is open, so this must not be its child, and
    // closing this alone must not end the program.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setGeometry(okButton);
    m_ok->setDefault(true);
    m_ok->setFont(uitext::controlFont());
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (accept())
            close();
    });
}

QLabel* SmallDialog::addLabel(const char* name, const QString& text, QRect rect, bool wrap) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(uitext::controlFont());
    label->lower(); // a label that reaches under the button must not cover it
    return label;
}

void SmallDialog::closeEvent(QCloseEvent* event) {
    emit dismissed();
    event->accept();
}

} // namespace app
