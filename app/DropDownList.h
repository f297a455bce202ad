#pragma once

#include <QComboBox>

namespace app {

// A selection-only drop-down list whose popup Qt builds only when something asks for it: when
// the list drops down, or when an accessibility tool walks it. Qt's own list builds its popup
// at every change of its font, so a window that sets fonts would build all its popups at
// start. The popup's list view gets the list's spoken name and rows of one height (every
// entry is one line of the same font) as it is made.
class DropDownList final : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

protected:
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* m_popup = nullptr; // once it is built
};

} // namespace app
