// The three small dialogs: their contents and places, the main window that takes no input
// while one is open, and the way back, by OK or by the title bar.
#include "WindowHarness.h"
#include "app/MainWindow.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

using Call = FaultInjectingIo::Call;

namespace {

QWidget* openDialog(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every control's own enabled flag and every action's state, to compare before and after.
QMap<QString, bool> enabledStates(const MainWindow& window) {
    QMap<QString, bool> states;
    for (const QWidget* widget : window.findChildren<QWidget*>())
        if (!widget->objectName().isEmpty())
            states.insert(widget->objectName(), !widget->testAttribute(Qt::WA_ForceDisabled));
    for (const QAction* action : window.findChildren<QAction*>())
        if (!action->objectName().isEmpty())
            states.insert(action->objectName(), action->isEnabled());
    return states;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init() { m_h = std::make_unique<WindowHarness>(); }
    void cleanup() {
        m_h.reset();
        flushDeletes();
    }

    void contents_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("ok");
        QTest::addColumn<QString>("text"); // of Label1
        QTest::addColumn<QRect>("label");
        QTest::newRow("About") << "mnuAbout"
                               << "Form2"
                               << "About" << QSize(356, 122) << QRect(264, 24, 81, 25)
                               << "Statwright 1.0" << QRect(112, 16, 89, 17);
        QTest::newRow("No Gender?")
            << "mnuNoGender"
            << "Form3"
            << "No Gender?" << QSize(295, 106) << QRect(168, 72, 105, 25)
            << "You will be unable to edit Pokémon that are pre-programmed to have no gender. "
               "This is because if the gender is changed, the sprite in-game will glitch, and "
               "result in bad graphics."
            << QRect(8, 8, 281, 65);
        QTest::newRow("Read Errors?")
            << "mnuReadError"
            << "Form4"
            << "Read Error?" << QSize(295, 112) << QRect(168, 80, 105, 25)
            << "Some Pokémon keep a sprite flag in the same byte as their PokéDex colour. "
               "Statwright "
               "reads the colour apart from the flag and keeps the flag when it saves, so every "
               "colour can be edited."
            << QRect(8, 8, 281, 97);
    }
    void contents() {
        QFETCH(QString, action);
        QFETCH(QString, form);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QRect, ok);
        QFETCH(QString, text);
        QFETCH(QRect, label);
        m_h->action(action.toLatin1())->trigger();
        QWidget* dialog = openDialog(form);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->size(), size);
        QVERIFY(!dialog->windowIcon().isNull());
        QVERIFY(!dialog->parentWidget()); // so disabling the main window leaves it usable
        QVERIFY(dialog->isEnabled());
        // A screen reader says that a dialog opened.
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(dialog);
        QVERIFY(spoken);
        QCOMPARE(spoken->role(), QAccessible::Dialog);
        QCOMPARE(spoken->text(QAccessible::Name), caption);
        auto* button = dialog->findChild<QPushButton*>("Command1");
        QCOMPARE(button->text(), QStringLiteral("OK"));
        QCOMPARE(button->geometry(), ok);
        auto* first = dialog->findChild<QLabel*>("Label1");
        QCOMPARE(first->text(), text);
        QCOMPARE(first->geometry(), label);
        QVERIFY(!m_h->window().isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void aboutNamesTheProgramAndItsSources() {
        m_h->action("mnuAbout")->trigger();
        QWidget* about = openDialog("Form2");
        QVERIFY(about);
        auto* notice = about->findChild<QLabel*>("Label2");
        QCOMPARE(notice->geometry().topLeft(), QPoint(96, 40));
        QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) <= notice->width());
        QVERIFY(notice->geometry().right() < about->findChild<QWidget*>("Command1")->x());
        QVERIFY(notice->text().contains("2026"));
        QVERIFY(notice->text().contains("Statwright developers"));
        auto* credit = about->findChild<QLabel*>("Label3");
        QCOMPARE(credit->geometry(), QRect(8, 72, 353, 49));
        QVERIFY(credit->text().startsWith("  "));
        QVERIFY(credit->text().contains("tutorial"));
        QVERIFY(credit->wordWrap());
        auto* icon = about->findChild<QLabel*>("Image1");
        QCOMPARE(icon->geometry(), QRect(16, 24, 32, 32));
        QVERIFY(!icon->pixmap().isNull());
    }

    // While a dialog is open, nothing reaches the main window: not its menus' shortcuts, not
    // its list, not code that triggers its actions. Afterwards it is exactly as it was.
    void mainWindowTakesNoInputWhileOpen() {
        const QString path = m_h->openNew("ADAE");
        m_h->clickEntry(12);
        m_h->type("txtHP", "99");
        const QMap<QString, bool> before = enabledStates(m_h->window());
        const QByteArray image = SyntheticRom::fingerprint(path, "ADAE");
        m_h->io.reset();
        m_h->dialogs.requests.clear();

        m_h->action("mnuNoGender")->trigger();
        QVERIFY(!m_h->window().isEnabled());
        for (const char* keys : {"Ctrl+O", "Ctrl+S", "Ctrl+Q"})
            QTest::keySequence(&m_h->window(), QKeySequence(QString::fromLatin1(keys)));
        m_h->clickEntry(40);
        for (const char* name : {"mnuOpen", "mnuSave", "mnuAbout", "mnuReadError"})
            m_h->action(name)->trigger();
        QVERIFY(m_h->window().isVisible());
        QVERIFY(m_h->dialogs.requests.isEmpty());
        QVERIFY(m_h->prompter.messages.isEmpty());
        QCOMPARE(m_h->io.count(Call::Open), 0);
        QVERIFY(!openDialog("Form2") && !openDialog("Form4"));

        QTest::mouseClick(openDialog("Form3")->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(!openDialog("Form3"));
        QVERIFY(m_h->window().isEnabled());
        QCOMPARE(enabledStates(m_h->window()), before);
        QCOMPARE(m_h->species()->currentRow(), 12);
        QCOMPARE(m_h->box("txtHP")->text(), QStringLiteral("99"));
        QCOMPARE(SyntheticRom::fingerprint(path, "ADAE"), image);
        QVERIFY(m_h->io.writes().empty());

        m_h->save(); // and usable again
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
    }

    void enabledStatesSurviveInEveryState() {
        const QMap<QString, bool> atStart = enabledStates(m_h->window());
        m_h->action("mnuAbout")->trigger();
        QTest::mouseClick(openDialog("Form2")->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(enabledStates(m_h->window()), atStart);

        m_h->openNew("CPUJ");
        m_h->clickEntry(80); // gender list disabled and hidden
        const QMap<QString, bool> shown = enabledStates(m_h->window());
        QVERIFY(!shown.value("cmbGender"));
        m_h->action("mnuReadError")->trigger();
        openDialog("Form4")->close(); // the title bar's close button
        QVERIFY(m_h->window().isEnabled());
        QCOMPARE(enabledStates(m_h->window()), shown);
    }

    void reopeningMakesAFreshDialog() {
        m_h->action("mnuNoGender")->trigger();
        QPointer<QWidget> first = openDialog("Form3");
        QTest::mouseClick(first->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(first.isNull()); // destroyed
        m_h->action("mnuNoGender")->trigger();
        QWidget* second = openDialog("Form3");
        QVERIFY(second);
        QVERIFY(!m_h->window().isEnabled());
        second->close();
        QVERIFY(m_h->window().isEnabled());
    }

    void closingTheMainWindowClosesTheDialog() {
        m_h->action("mnuAbout")->trigger();
        QPointer<QWidget> about = openDialog("Form2");
        QVERIFY(about);
        QVERIFY(!about->testAttribute(Qt::WA_QuitOnClose));
        QVERIFY(m_h->window().close());
        flushDeletes();
        QVERIFY(about.isNull() || !about->isVisible());
        QVERIFY(!m_h->window().isVisible());
    }

private:
    std::unique_ptr<WindowHarness> m_h;
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
