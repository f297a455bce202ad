// The Evolutions dialog and what the windows make of evolutions, driven through their controls:
// the parameter that follows the method, values the lists cannot show kept, OK refused for a
// slot without a target, the entries without evolutions, Save ROM and Undo Save of both records,
// and the table window's column and imports. The bytes on disk are checked.
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QTest>

namespace {

QWidget* topLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    return nullptr;
}

// Picks the entry that stands for `value`, as a click on it in the open list does.
void choose(QComboBox* list, int value) {
    const int entry = list->findData(value);
    QVERIFY2(entry >= 0, qPrintable(QString::number(value)));
    list->setCurrentIndex(entry);
}

// Bulbasaur's slot 1: Level 16 -> Ivysaur.
const QByteArray kBulbasaurSlot = QByteArray::fromHex("040010000200");

} // namespace

class TestEvolutionDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    QString m_path;
    qint64 m_stats = 0;      // where the base-stat record of position 0 starts
    qint64 m_evolutions = 0; // and its evolution record

    // A synthetic image of `code` with a file system, Bulbasaur's first evolution written,
    // opened and its first entry loaded; `evolutionMembers` as addEvolutions() takes it.
    void openImage(const QByteArray& code, int evolutionMembers = -1) {
        m_path = m_h->roms.create(QString::fromLatin1(code) + ".nds", code, 0x400);
        auto system =
            SyntheticFileSystem::forGame(code, SyntheticFileSystem::Layout::DecoyAtFixedBase);
        const QString evolutions = system.addEvolutions(code, evolutionMembers);
        system.writeInto(m_path);
        m_stats = system.recordBaseOf(system.tableArchive);
        m_evolutions = system.recordBaseOf(evolutions);
        SyntheticRom::write(m_path, m_evolutions, kBulbasaurSlot);
        m_h->open(m_path);
        m_h->clickEntry(0);
    }
    QWidget* openDialog() {
        m_h->chooseMenu("mnuEdit", "mnuEvolutions");
        QWidget* dialog = topLevel("dlgEvolutions");
        if (!dialog)
            qFatal("the Evolutions dialog did not open");
        return dialog;
    }
    static QComboBox* list(QWidget* dialog, const char* name, int slot) {
        return dialog->findChild<QComboBox*>(QLatin1String(name) + QString::number(slot));
    }
    static QString note(QWidget* dialog) {
        return dialog->findChild<QLabel*>("lblEvoNote")->text();
    }
    static void clickOk(QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    }
    QByteArray evolutionRecord(int position = 0) const {
        return SyntheticRom::read(m_path, m_evolutions + 44LL * position, 44);
    }

private slots:
    void init() { m_h = std::make_unique<WindowHarness>(); }
    void cleanup() {
        m_h->prompter.answers = {QStringLiteral("Discard"), QStringLiteral("Discard")};
        m_h.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A method chosen for an empty slot brings the parameter list of its kind, from its first
    // entry; a method without a parameter leaves none to choose.
    void parameterFollowsTheMethod_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("Level") << 4 << 100 << "1"
                               << "100";
        QTest::newRow("Level, female") << 23 << 100 << "1"
                                       << "100";
        QTest::newRow("Use item") << 7 << -1 << "Master Ball" << QString();
        QTest::newRow("Level up knowing move") << 20 << 467 << "Pound"
                                               << "Shadow Force";
        QTest::newRow("Level up with species in party") << 21 << 493 << "Bulbasaur"
                                                        << "Arceus";
        QTest::newRow("Beauty") << 15 << 256 << "0"
                                << "255";
        QTest::newRow("Trade") << 5 << 0 << QString() << QString();
    }
    void parameterFollowsTheMethod() {
        QFETCH(int, method);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        openImage("ADAE");
        QWidget* dialog = openDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Evolutions: Bulbasaur"));
        QCOMPARE(list(dialog, "cmbEvoMethod", 1)->currentText(), QStringLiteral("Level"));
        QCOMPARE(list(dialog, "cmbEvoParam", 1)->currentText(), QStringLiteral("16"));
        QCOMPARE(list(dialog, "cmbEvoTarget", 1)->currentText(), QStringLiteral("Ivysaur"));
        QCOMPARE(list(dialog, "cmbEvoTarget", 2)->currentText(), QStringLiteral("(none)"));

        choose(list(dialog, "cmbEvoMethod", 2), method);
        QComboBox* parameter = list(dialog, "cmbEvoParam", 2);
        QCOMPARE(parameter->isEnabled(), count != 0);
        if (count >= 0)
            QCOMPARE(parameter->count(), count);
        QCOMPARE(parameter->currentText(), first);
        if (!last.isEmpty())
            QCOMPARE(parameter->itemText(parameter->count() - 1), last);
        // Another method in a used slot starts its parameter again too.
        if (method != 4) {
            choose(list(dialog, "cmbEvoMethod", 1), method);
            QCOMPARE(list(dialog, "cmbEvoParam", 1)->currentText(), first);
        }
    }

    // A value no list has an entry for shows as "Value N" and is written back as it was, while
    // another slot of the same record changes.
    void valuesBeyondTheListsStay() {
        openImage("APAE");
        SyntheticRom::write(m_path, m_evolutions, QByteArray::fromHex("040096005802"));
        m_h->clickEntry(1);
        m_h->clickEntry(0);
        QWidget* dialog = openDialog();
        QCOMPARE(list(dialog, "cmbEvoParam", 1)->currentIndex(), -1);
        QCOMPARE(list(dialog, "cmbEvoParam", 1)->placeholderText(), QStringLiteral("Value 150"));
        QCOMPARE(list(dialog, "cmbEvoTarget", 1)->placeholderText(), QStringLiteral("Value 600"));
        choose(list(dialog, "cmbEvoMethod", 2), 7);
        choose(list(dialog, "cmbEvoParam", 2), 82);
        choose(list(dialog, "cmbEvoTarget", 2), 136);
        clickOk(dialog);
        QVERIFY(!topLevel("dlgEvolutions"));
        m_h->save();
        QCOMPARE(evolutionRecord().toHex(), "040096005802"
                                            "070052008800" +
                                                QByteArray(64, '0'));
    }

    // OK names the used slot without a target and leaves the dialog open on it.
    void okRefusedWithoutATarget() {
        openImage("ADAE");
        QWidget* dialog = openDialog();
        choose(list(dialog, "cmbEvoMethod", 3), 4);
        clickOk(dialog);
        QCOMPARE(topLevel("dlgEvolutions"), dialog);
        QVERIFY2(note(dialog).startsWith("Evolution 3 has a method but no species to evolve into"),
                 qPrintable(note(dialog)));
        QCOMPARE(dialog->focusWidget(), list(dialog, "cmbEvoTarget", 3));
        choose(list(dialog, "cmbEvoMethod", 3), 0);
        clickOk(dialog);
        QVERIFY(!topLevel("dlgEvolutions"));
    }

    // The Egg entries and the forms have no evolutions the game reads: shown, never edited.
    void entriesWithoutEvolutions_data() {
        QTest::addColumn<int>("position");
        QTest::newRow("the Egg") << 493;
        QTest::newRow("a form") << 500;
    }
    void entriesWithoutEvolutions() {
        QFETCH(int, position);
        openImage("CPUE");
        m_h->clickEntry(position);
        QWidget* dialog = openDialog();
        for (QComboBox* control : dialog->findChildren<QComboBox*>())
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(!dialog->findChild<QPushButton*>("cmdOK")->isEnabled());
        QVERIFY2(note(dialog).contains("is no species of its own"), qPrintable(note(dialog)));
    }

    // The methods that need a place only Diamond, Pearl and Platinum have.
    void methodsNoMapTriggers_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<bool>("never");
        QTest::newRow("HeartGold") << QByteArray("IPKE") << true;
        QTest::newRow("Platinum") << QByteArray("CPUE") << false;
    }
    void methodsNoMapTriggers() {
        QFETCH(QByteArray, code);
        QFETCH(bool, never);
        openImage(code);
        QWidget* dialog = openDialog();
        choose(list(dialog, "cmbEvoMethod", 2), 25);
        const QString says = "Evolution 2: no map of this game triggers \"Level up near the "
                             "Moss Rock\", so it never happens.";
        QCOMPARE(note(dialog).contains(says), never);
        QCOMPARE(list(dialog, "cmbEvoMethod", 2)->toolTip().isEmpty(), !never);
    }

    // Save ROM writes the typed base stat and the evolution of the dialog, and only their
    // bytes; Undo Save takes both back.
    void saveAndUndoBothRecords() {
        openImage("IPKE");
        const QByteArray before = SyntheticRom::sha256(m_path);
        m_h->type("txtHP", "77");
        QWidget* dialog = openDialog();
        choose(list(dialog, "cmbEvoParam", 1), 12);
        clickOk(dialog);
        QVERIFY(m_h->caption().contains('*'));
        const QByteArray stats = SyntheticRom::read(m_path, m_stats, 44);
        m_h->save();
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QCOMPARE(evolutionRecord().toHex(), "04000c000200" + QByteArray(76, '0'));
        QByteArray expected = stats;
        expected[0] = 77;
        QCOMPARE(SyntheticRom::read(m_path, m_stats, 44).toHex(), expected.toHex());
        QVERIFY(!m_h->caption().contains('*'));

        m_h->chooseMenu("mnuEdit", "mnuUndoSave");
        QCOMPARE(SyntheticRom::sha256(m_path), before);
        QCOMPARE(list(openDialog(), "cmbEvoParam", 1)->currentText(), QStringLiteral("16"));
    }

    // An evolution edited and not saved is asked about before another entry is loaded.
    void unsavedEvolutionIsAskedAbout() {
        openImage("ADAE");
        QWidget* dialog = openDialog();
        choose(list(dialog, "cmbEvoTarget", 1), 3);
        clickOk(dialog);
        m_h->prompter.answers << "Discard";
        m_h->clickEntry(1);
        QCOMPARE(m_h->prompter.questions.size(), 1);
        QCOMPARE(m_h->prompter.questions[0].text, QStringLiteral("Save the changes to Bulbasaur?"));
        QCOMPARE(evolutionRecord().left(6), kBulbasaurSlot);
    }

    // Without an evolution table the command is off, and its tooltip says why.
    void imagesWithoutAnEvolutionTable_data() {
        QTest::addColumn<int>("members");
        QTest::newRow("no file system") << -2;
        QTest::newRow("an archive with too few members") << 100;
    }
    void imagesWithoutAnEvolutionTable() {
        QFETCH(int, members);
        if (members == -2) {
            m_h->openNew("ADAE");
            m_h->clickEntry(0);
        } else {
            openImage("ADAE", members);
        }
        QAction* action = m_h->action("mnuEvolutions");
        QVERIFY(!action->isEnabled());
        QVERIFY2(action->toolTip().startsWith("This ROM has no evolution table: ") &&
                     action->toolTip().size() > 40,
                 qPrintable(action->toolTip()));
    }

    // The table window shows what each entry evolves into, read-only, and refuses a table file
    // that would change evolutions, naming the change, with nothing staged.
    void tableWindow() {
        openImage("ADAE");
        m_h->pressShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
        QWidget* table = topLevel("tableWindow");
        QVERIFY(table);
        QAbstractItemModel* model = table->findChild<QTableView*>("tblEntries")->model();
        int column = model->columnCount() - 1;
        while (column >= 0 && model->headerData(column, Qt::Horizontal) != "Evolves into")
            --column;
        QVERIFY(column >= 0);
        QCOMPARE(model->index(0, column).data().toString(), QStringLiteral("Ivysaur (Level 16)"));
        QCOMPARE(model->index(1, column).data().toString(), QString());
        QVERIFY(!(model->flags(model->index(0, column)) & Qt::ItemIsEditable));

        const QString csv = m_h->roms.folder() + "/evolutions.csv";
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("position,species,evo1_method,evo1_param,evo1_target\n0,Bulbasaur,4,12,2\n");
        file.close();
        m_h->dialogs.choose(csv);
        table->findChild<QAction*>("mnuImportTable")->trigger();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains("changes evolutions, which this table does not stage") &&
                     shown[0].text.contains("Bulbasaur: evo1_param 16 -> 12"),
                 qPrintable(shown[0].text));
        QVERIFY(!table->isWindowModified());
    }
};

QTEST_MAIN(TestEvolutionDialog)
#include "tst_evolution_dialog.moc"
