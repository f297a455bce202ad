#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace app {

// A small window with the program icon and an "OK" button, shown next to the main window.
// It announces `dismissed` however it closes, by OK or by its title bar, and then deletes
// itself; OK first calls accept().
class SmallDialog : public QWidget {
    Q_OBJECT

public:
    SmallDialog(const QString& caption, QSize clientSize, QRect okButton);

signals:
    void dismissed();

protected:
    QLabel* addLabel(const char* name, const QString& text, QRect rect, bool wrap);
    [[nodiscard]] QPushButton* okButton() const { return m_ok; }
    // What OK does before the window closes: nothing, for a dialog that only tells. False keeps
    // the window open: what it holds cannot be taken yet.
    virtual bool accept() { return true; }
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* m_ok;
};

} // namespace app
