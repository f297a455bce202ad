#include "DropDownList.h"

#include <QChildEvent>
#include <QListView>

namespace app {

void DropDownList::changeEvent(QEvent* event) {
    // A popup built later takes the list's font as it is made.
    if (event->type() == QEvent::FontChange && !m_popup) {
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}

void DropDownList::childEvent(QChildEvent* event) {
    // The popup, still being built: its list view joins it in a moment.
    if (event->added() && !m_popup && event->child()->isWidgetType()) {
        m_popup = event->child();
        m_popup->installEventFilter(this);
    }
    QComboBox::childEvent(event);
}

bool DropDownList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_popup && event->type() == QEvent::ChildAdded)
        if (auto* view = qobject_cast<QListView*>(static_cast<QChildEvent*>(event)->child())) {
            view->setAccessibleName(accessibleName());
            view->setUniformItemSizes(true);
            m_popup->removeEventFilter(this);
        }
    return QComboBox::eventFilter(watched, event);
}

} // namespace app
