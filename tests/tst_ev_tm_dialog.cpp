// The EV Yield and TM/HM dialog, driven through its controls: what it shows of the entry, what
// its OK keeps for the save, and that only the bits it changed are written.
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"
#include "app/MainWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest/QTest>

namespace {

// A text box as some platforms make it, which takes Ctrl+E to move to the end of its line.
class TakesControlE final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->keyCombination() ==
                QKeyCombination(Qt::ControlModifier, Qt::Key_E))
            event->accept();
        return false;
    }
};

QWidget* openDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "EvTmDialog" && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

class TestEvTmDialog : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_h = std::make_unique<WindowHarness>();
        m_path = m_h->openNew("ADAE", 5);
        m_record = SyntheticRom::recordOffset("ADAE", 0);
        // Bulbasaur: EV yield Sp. Attack 1 (bits 12 to 15 set), blue with the sprite flag,
        // TM01 and HM08 only (bits 100 to 127 set).
        SyntheticRom::write(m_path, m_record + 10, QByteArray("\x00\xF1", 2));
        SyntheticRom::write(m_path, m_record + 25, "\x81");
        SyntheticRom::write(m_path, m_record + 28,
                            QByteArray("\x01", 1) + QByteArray(11, '\0') + "\x08\xFF\xFF\xFF");
        m_h->clickEntry(0);
        m_before = SyntheticRom::read(m_path, m_record, 44);
    }
    void cleanup() {
        m_h.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The window's shortcut works wherever the focus is: in a number box, which would take
    // Ctrl+E for the end of its line, and in a drop-down list.
    void shortcutFromEveryControl_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("the species list") << "pkmnlst";
        QTest::newRow("a number box") << "txtHP";
        QTest::newRow("a drop-down list") << "cmbType1";
    }
    void shortcutFromEveryControl() {
        QFETCH(QString, control);
        QWidget* focused = m_h->find<QWidget>(control.toLatin1());
        TakesControlE greedy;
        if (control == "txtHP")
            focused->installEventFilter(&greedy);
        focused->setFocus();
        QCOMPARE(QApplication::focusWidget(), focused);
        QTest::keyClick(focused, Qt::Key_E, Qt::ControlModifier);
        QWidget* dialog = openDialog();
        QVERIFY(dialog);
        clickOk(dialog);
    }

    void showsTheEntry() {
        QVERIFY(m_h->action("mnuEvTm")->isEnabled());
        QWidget* dialog = open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("EV Yield and TM/HM: Bulbasaur"));
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog)->role(), QAccessible::Dialog);
        QVERIFY(!m_h->window().isEnabled());
        QCOMPARE(spin(dialog, "spnEvSpAttack")->value(), 1);
        QCOMPARE(spin(dialog, "spnEvHp")->value(), 0);
        QCOMPARE(spin(dialog, "spnEvHp")->maximum(), 3);
        QVERIFY(dialog->findChild<QCheckBox*>("chkFlip")->isChecked());
        QListWidget* list = dialog->findChild<QListWidget*>("lstTmHm");
        QCOMPARE(list->count(), 100);
        QCOMPARE(list->item(0)->text(), QStringLiteral("TM01 Focus Punch"));
        QCOMPARE(list->item(96)->text(), QStringLiteral("HM05 Defog"));
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        QCOMPARE(list->item(99)->checkState(), Qt::Checked);
        QCOMPARE(list->item(5)->checkState(), Qt::Unchecked);
        // Every control has a spoken name.
        for (QWidget* control : dialog->findChildren<QWidget*>())
            if (control->focusPolicy() != Qt::NoFocus && !control->objectName().isEmpty() &&
                !control->objectName().startsWith("qt_")) // a part of another control
                QVERIFY2(!QAccessible::queryAccessibleInterface(control)
                              ->text(QAccessible::Name)
                              .isEmpty(),
                         qPrintable(control->objectName()));
        // The filter narrows the list to what it names.
        QTest::keyClicks(dialog->findChild<QLineEdit*>("txtFilter"), "surf");
        int shown = 0;
        for (int row = 0; row < list->count(); ++row)
            shown += list->item(row)->isHidden() ? 0 : 1;
        QCOMPARE(shown, 1);
        QVERIFY(!list->item(94)->isHidden()); // HM03 Surf
    }

    // Checking TM06 for Bulbasaur and saving sets bit 5 of byte 28, and nothing else.
    void checkingATm() {
        QWidget* dialog = open();
        QListWidget* list = dialog->findChild<QListWidget*>("lstTmHm");
        list->setFocus();
        list->setCurrentRow(5);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(5)->checkState(), Qt::Checked);
        clickOk(dialog);
        m_h->save();
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QByteArray expected = m_before;
        expected[28] = '\x21';
        QCOMPARE(SyntheticRom::read(m_path, m_record, 44).toHex(), expected.toHex());
    }

    // An EV yield and the sprite flag, typed and clicked; the colour beside the flag stays.
    void evYieldAndFlag() {
        QWidget* dialog = open();
        QSpinBox* speed = spin(dialog, "spnEvSpeed");
        speed->setFocus();
        speed->selectAll();
        QTest::keyClicks(speed, "3");
        QCheckBox* flip = dialog->findChild<QCheckBox*>("chkFlip");
        QTest::mouseClick(flip, Qt::LeftButton, Qt::NoModifier, QPoint(8, flip->height() / 2));
        QVERIFY(!flip->isChecked());
        clickOk(dialog);
        m_h->save();
        QByteArray expected = m_before;
        expected[10] = '\xC0';
        expected[25] = '\x01';
        QCOMPARE(SyntheticRom::read(m_path, m_record, 44).toHex(), expected.toHex());
    }

    // Cancel, and the load of another entry, drop the dialog's values.
    void valuesThatAreDropped_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("Cancel") << true;
        QTest::newRow("another entry loaded, the edit discarded") << false;
    }
    void valuesThatAreDropped() {
        QFETCH(bool, cancel);
        QWidget* dialog = open();
        spin(dialog, "spnEvHp")->setValue(2);
        if (cancel) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        } else {
            clickOk(dialog);
            QVERIFY(m_h->window().isWindowModified());
            m_h->prompter.answers << "Discard";
            m_h->clickEntry(1);
            QCOMPARE(m_h->prompter.questions.size(), 1);
            m_h->clickEntry(0);
        }
        QVERIFY(m_h->window().isEnabled());
        m_h->save();
        QCOMPARE(SyntheticRom::read(m_path, m_record, 44), m_before);
        QCOMPARE(spin(open(), "spnEvHp")->value(), 0);
    }

    // HeartGold and SoulSilver teach Whirlpool with HM05.
    void movesOfTheImagesGame() {
        const QString path = m_h->roms.create("hg.nds", "IPKE", 0x200000);
        SyntheticFileSystem::forGame("IPKE", SyntheticFileSystem::Layout::DecoyAtFixedBase)
            .writeInto(path);
        m_h->open(path);
        QVERIFY(!m_h->action("mnuEvTm")->isEnabled()); // until an entry of it is loaded
        m_h->clickEntry(0);
        QListWidget* list = open()->findChild<QListWidget*>("lstTmHm");
        QCOMPARE(list->item(96)->text(), QStringLiteral("HM05 Whirlpool"));
    }

private:
    QWidget* open() {
        m_h->pressShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
        QWidget* dialog = openDialog();
        if (!dialog)
            qFatal("the EV Yield and TM/HM dialog did not open");
        return dialog;
    }
    static QSpinBox* spin(QWidget* dialog, const char* name) {
        return dialog->findChild<QSpinBox*>(QLatin1String(name));
    }
    static void clickOk(QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    }

    std::unique_ptr<WindowHarness> m_h;
    QString m_path;
    qint64 m_record = 0;
    QByteArray m_before;
};

QTEST_MAIN(TestEvTmDialog)
#include "tst_ev_tm_dialog.moc"
