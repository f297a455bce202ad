// Values typed and not saved: the caption's mark, and the question before a click or a key
// on another entry, Open ROM..., Exit or closing the window would drop them.
#include "WindowHarness.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QtTest/QTest>

#include <cerrno>

namespace {

constexpr int kGarchomp = 444;
constexpr int kGible = 442;    // the entry clicked
constexpr int kMunchlax = 445; // the entry below Garchomp, reached with the Down key

} // namespace

class TestUnsavedEdits : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_h = std::make_unique<WindowHarness>();
        m_path = m_h->openNew("ADAE", 5);
        m_h->clickEntry(kGarchomp);
        m_h->prompter.take();
    }
    void cleanup() { m_h.reset(); }

    void everyTriggerAndAnswer_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answer");
        for (const char* trigger : {"click", "arrow key", "Open ROM", "Exit", "close"})
            for (const char* answer : {"Save", "Discard", "Cancel"})
                QTest::addRow("%s, %s", trigger, answer) << trigger << answer;
    }
    void everyTriggerAndAnswer() {
        QFETCH(QString, trigger);
        QFETCH(QString, answer);
        const qint64 speed = SyntheticRom::recordOffset("ADAE", kGarchomp) + 3;
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        const int typed = (quint8(SyntheticRom::read(m_path, speed, 1)[0]) + 1) % 256;
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
        m_h->type("txtSpeed", QString::number(typed));
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright*"));

        const QString other = m_h->roms.createFor("APAE", "pearl.nds");
        m_h->prompter.answers << answer;
        // While the question is open, the entry on view is the one highlighted.
        int highlighted = -1;
        m_h->prompter.onQuestion = [&](const Prompter::Question&) {
            highlighted = m_h->species()->currentRow();
            QCOMPARE(m_h->species()->selectedItems().size(), 1);
        };
        if (trigger == "click") {
            m_h->clickEntry(kGible);
        } else if (trigger == "arrow key") {
            m_h->species()->setFocus();
            QTest::keyClick(m_h->species(), Qt::Key_Down);
        } else if (trigger == "Open ROM") {
            m_h->open(other);
        } else if (trigger == "Exit") {
            m_h->pressShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
        } else {
            m_h->window().close();
        }

        QCOMPARE(m_h->prompter.questions.size(), 1);
        QCOMPARE(highlighted, kGarchomp);
        const Prompter::Question& question = m_h->prompter.questions.front();
        QCOMPARE(question.text, QStringLiteral("Save the changes to Garchomp?"));
        QCOMPARE(question.buttons.size(), 3);
        QCOMPARE(question.buttons[0].standard, QMessageBox::Save); // the default
        QCOMPARE(question.buttons[1].standard, QMessageBox::Discard);
        QCOMPARE(question.buttons[2].standard, QMessageBox::Cancel);
        QCOMPARE(question.cancel, 2); // Escape

        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        if (answer == "Save") {
            QCOMPARE(shown.value(0).text, QStringLiteral("Pokémon Data Saved Successfully!"));
            QCOMPARE(quint8(SyntheticRom::read(m_path, speed, 1)[0]), typed);
        } else {
            QVERIFY(shown.isEmpty());
            QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
        }

        if (answer == "Cancel") {
            QVERIFY(m_h->window().isVisible());
            QCOMPARE(m_h->window().imagePath(), m_path);
            QCOMPARE(m_h->species()->selectedItems().value(0), m_h->species()->item(kGarchomp));
            QCOMPARE(m_h->species()->currentRow(), kGarchomp);
            QCOMPARE(m_h->box("txtSpeed")->text(), QString::number(typed));
            QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright*"));
            return;
        }
        if (trigger == "Exit" || trigger == "close") {
            QVERIFY(!m_h->window().isVisible());
            return;
        }
        if (trigger == "Open ROM") {
            QCOMPARE(m_h->window().imagePath(), other);
            QCOMPARE(m_h->caption(), QStringLiteral("APAE - Statwright"));
            // Nothing of Garchomp stays on view, and nothing can be typed before a load.
            QCOMPARE(m_h->box("txtSpeed")->text(), QString());
            QVERIFY(!m_h->box("txtSpeed")->isEnabled());
            QVERIFY(!m_h->action("mnuSave")->isEnabled());
            QVERIFY(m_h->species()->selectedItems().isEmpty());
            return;
        }
        const int row = trigger == "click" ? kGible : kMunchlax;
        QCOMPARE(m_h->species()->currentRow(), row);
        const qint64 record = SyntheticRom::recordOffset("ADAE", row);
        QCOMPARE(m_h->box("txtSpeed")->text(),
                 QString::number(quint8(SyntheticRom::read(m_path, record + 3, 1)[0])));
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
    }

    // What is and is not an edit: the values on view against the record as loaded.
    void whatIsAnEdit_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("edited");
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("a value typed back") << "typed back" << false;
        QTest::newRow("a leading zero") << "leading zero" << false;
        QTest::newRow("a box emptied") << "empty" << true;
        QTest::newRow("another list entry") << "list" << true;
        QTest::newRow("saved since") << "saved" << false;
    }
    void whatIsAnEdit() {
        QFETCH(QString, change);
        QFETCH(bool, edited);
        const QString hp = m_h->box("txtHP")->text();
        if (change == "typed back") {
            m_h->type("txtHP", QString::number((hp.toInt() + 1) % 256));
            m_h->type("txtHP", hp);
        } else if (change == "leading zero") {
            SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", kGarchomp), "\x07");
            m_h->clickEntry(kGarchomp); // loads it again: there is nothing to ask about
            m_h->type("txtHP", "07");
        } else if (change == "empty") {
            m_h->type("txtHP", "");
        } else if (change == "list") {
            QComboBox* type = m_h->list("cmbType1");
            type->setCurrentIndex((type->currentIndex() + 1) % type->count());
        } else if (change == "saved") {
            m_h->type("txtHP", QString::number((hp.toInt() + 1) % 256));
            m_h->save();
            m_h->prompter.take();
        }
        QCOMPARE(m_h->window().isWindowModified(), edited);
        if (edited)
            m_h->prompter.answers << "Discard";
        m_h->clickEntry(kGible);
        QCOMPARE(m_h->prompter.questions.size(), edited ? 1 : 0);
        QCOMPARE(m_h->species()->currentRow(), kGible);
        QVERIFY(!m_h->window().isWindowModified());
    }

    // Save that does not succeed keeps the edits and the entry: a value out of range, a write
    // the disk refuses, an image cut short or a file system gone since the load. Once the
    // cause is gone, the same values save.
    void failedSaveKeepsTheEdits_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("speed 300") << "range";
        QTest::newRow("disk full") << "disk";
        QTest::newRow("image cut short since the load") << "truncated";
        QTest::newRow("image unreadable since the load") << "unreadable";
    }
    void failedSaveKeepsTheEdits() {
        QFETCH(QString, failure);
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        const qint64 size = QFileInfo(m_path).size();
        m_h->type("txtSpeed", failure == "range" ? "300" : "7");
        if (failure == "disk")
            m_h->io.failWritesAfter(0, ENOSPC);
        if (failure == "truncated")
            QVERIFY(QFile::resize(m_path, SyntheticRom::recordOffset("ADAE", kGarchomp + 10)));
        if (failure == "unreadable")
            m_h->io.failCall(FaultInjectingIo::Call::OpenForWriting, EACCES);
        m_h->prompter.answers << "Save";
        m_h->clickEntry(kGible);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        // A file error gets the system's box; a value or an image's content, a warning.
        QCOMPARE(shown[0].icon, failure == "range" || failure == "truncated"
                                    ? Prompter::Icon::Warning
                                    : Prompter::Icon::None);
        if (failure != "truncated") // its length is another program's doing
            QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
        QCOMPARE(m_h->species()->currentRow(), kGarchomp);
        QCOMPARE(m_h->box("txtSpeed")->text(), failure == "range" ? "300" : "7");
        QVERIFY(m_h->window().isWindowModified());
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        if (failure != "range")
            QVERIFY2(shown[0].text.endsWith("Nothing was written, and your changes are still on "
                                            "view to save again."),
                     qPrintable(shown[0].text));
        if (failure == "truncated")
            QVERIFY(QFile::resize(m_path, size));
        else if (failure == "range")
            m_h->type("txtSpeed", "7");
        m_h->io.reset();
        m_h->save();
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QCOMPARE(SyntheticRom::read(m_path, SyntheticRom::recordOffset("ADAE", kGarchomp) + 3, 1),
                 QByteArray("\x07"));
        QVERIFY(!m_h->window().isWindowModified());
    }

    // Save refuses values outside 0 to 255 with the one message, and puts the cursor in the
    // first box at fault, its text selected; screen readers hear what each such box needs.
    void refusedValuesPointToTheFirstBox() {
        m_h->type("txtHP", "300");
        m_h->type("txtAttack", "abc");
        m_h->type("txtDefense", "");
        m_h->type("txtSpDefense", "9"); // the focus is elsewhere when Save is chosen
        m_h->save();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("Please enter Base Stat values between 0 and 255."));
        QCOMPARE(QApplication::focusWidget(), m_h->box("txtHP"));
        QCOMPARE(m_h->box("txtHP")->selectedText(), QStringLiteral("300"));
        for (const char* box : {"txtHP", "txtAttack", "txtDefense"})
            QCOMPARE(m_h->box(box)->accessibleDescription(),
                     QStringLiteral("Enter a number from 0 to 255."));
        for (const char* box : {"txtSpeed", "txtSpDefense", "txtCatchRate"})
            QVERIFY(m_h->box(box)->accessibleDescription().isEmpty());
    }

    // After a save, the boxes show what was written.
    void savedValuesShowAsWritten_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("1.5") << "1.5" << 2;
        QTest::newRow(".5") << ".5" << 0;
        QTest::newRow("+7") << "+7" << 7;
        QTest::newRow("25.") << "25." << 25;
    }
    void savedValuesShowAsWritten() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        m_h->type("txtHP", typed);
        m_h->save();
        m_h->prompter.take();
        const qint64 hp = SyntheticRom::recordOffset("ADAE", kGarchomp);
        QCOMPARE(int(quint8(SyntheticRom::read(m_path, hp, 1)[0])), stored);
        QCOMPARE(m_h->box("txtHP")->text(), QString::number(stored));
        QVERIFY(!m_h->window().isWindowModified());
    }

    // A load that fails leaves nothing on view and nothing to type into.
    void failedLoadLeavesNothingOnView() {
        QVERIFY(QFile::resize(m_path, SyntheticRom::recordOffset("ADAE", kGible)));
        m_h->clickEntry(kGible);
        QCOMPARE(m_h->prompter.take().size(), 1);
        QCOMPARE(m_h->box("txtHP")->text(), QString());
        QVERIFY(!m_h->box("txtHP")->isEnabled());
        QVERIFY(!m_h->action("mnuSave")->isEnabled());
        QVERIFY(m_h->species()->selectedItems().isEmpty());
        QVERIFY(!m_h->window().isWindowModified());
    }

private:
    std::unique_ptr<WindowHarness> m_h;
    QString m_path;
};

QTEST_MAIN(TestUnsavedEdits)
#include "tst_unsaved_edits.moc"
