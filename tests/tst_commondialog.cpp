// The file dialog wrapper as logic: what each dialog is asked to show and what an instance
// remembers between dialogs.
#include "ScriptedFileDialog.h"
#include "clsCommonDialog.h"

#include <QtTest/QTest>

namespace {
constexpr std::uint32_t kOpenFlags = clsCommonDialog::OFN_HIDEREADONLY |
                                     clsCommonDialog::OFN_PATHMUSTEXIST |
                                     clsCommonDialog::OFN_FILEMUSTEXIST;
const QString kRoms = QStringLiteral("NDS ROMs (*.nds)|*.nds");
} // namespace

class TestCommonDialog : public QObject {
    Q_OBJECT

private slots:
    void convertFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("one pair") << kRoms << QStringList{"NDS ROMs (*.nds)"};
        QTest::newRow("trailing separator") << kRoms + "|" << QStringList{"NDS ROMs (*.nds)"};
        QTest::newRow("pattern not in text")
            << "Images|*.png;*.jpg|All files|*.*"
            << QStringList{"Images (*.png *.jpg)", "All files (*.*)"};
        QTest::newRow("no pattern") << "Text" << QStringList{"Text (*)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void convertFilter() {
        QFETCH(QString, filter);
        QFETCH(QStringList, filters);
        QCOMPARE(clsCommonDialog::convertFilter(filter), filters);
    }

    void showOpenAsksForAnExistingFile() {
        ScriptedFileDialog backend;
        clsCommonDialog dialog(backend);
        QWidget owner;
        backend.choose("/roms/a.nds");
        QCOMPARE(dialog.ShowOpen(&owner, "Open", "/roms", kRoms, kOpenFlags),
                 QStringLiteral("/roms/a.nds"));
        QCOMPARE(backend.requests.size(), 1);
        const FileDialogRequest& request = backend.requests.front();
        QCOMPARE(request.kind, FileDialogRequest::Kind::Open);
        QCOMPARE(request.owner, &owner);
        QCOMPARE(request.title, QStringLiteral("Open"));
        QCOMPARE(request.initialDirectory, QStringLiteral("/roms"));
        QCOMPARE(request.nameFilters, QStringList{"NDS ROMs (*.nds)"});
        QCOMPARE(request.selectedFilter, 1);
        QVERIFY(request.existingFileOnly);
        QVERIFY(request.defaultSuffix.isEmpty());
    }

    void cancelReturnsNothingAndKeepsTheState() {
        ScriptedFileDialog backend;
        clsCommonDialog dialog(backend);
        backend.cancel();
        QVERIFY(dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags).isEmpty());
        QCOMPARE(dialog.FilterIndex(), 0);

        backend.choose("/roms/b.nds", 2);
        QCOMPARE(dialog.ShowOpen(nullptr, "Open", "", kRoms + "|All|*", kOpenFlags),
                 QStringLiteral("/roms/b.nds"));
        QCOMPARE(dialog.FilterIndex(), 2);
        backend.cancel();
        QVERIFY(dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags).isEmpty());
        QCOMPARE(dialog.FilterIndex(), 2);
        // The next dialog of this instance starts on the filter chosen last, and where the
        // last path was.
        QCOMPARE(backend.requests.last().selectedFilter, 2);
        QCOMPARE(backend.requests.last().initialDirectory, QStringLiteral("/roms/b.nds"));
    }

    void emptyStartFallsBackToTheLastPath() {
        ScriptedFileDialog backend;
        clsCommonDialog dialog(backend);
        backend.choose("/roms/ first.nds ");
        QCOMPARE(dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags),
                 QStringLiteral("/roms/ first.nds ")); // spaces belong to the name
        QVERIFY(backend.requests[0].initialDirectory.isEmpty());
        backend.choose("/roms/second.nds");
        (void)dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags);
        QCOMPARE(backend.requests[1].initialDirectory, QStringLiteral("/roms/ first.nds "));
        backend.choose("/roms/third.nds");
        (void)dialog.ShowOpen(nullptr, "Open", "/elsewhere", kRoms, kOpenFlags);
        QCOMPARE(backend.requests[2].initialDirectory, QStringLiteral("/elsewhere"));
    }

    void showSave() {
        ScriptedFileDialog backend;
        clsCommonDialog dialog(backend);
        backend.choose("/roms/a.nds");
        (void)dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags);

        backend.choose("/palettes/new.gpl", 1);
        QCOMPARE(dialog.ShowSave(nullptr, "Save", "new", "", "Palettes|*.gpl",
                                 clsCommonDialog::OFN_OVERWRITEPROMPT),
                 QStringLiteral("/palettes/new.gpl"));
        const FileDialogRequest& request = backend.requests.last();
        QCOMPARE(request.kind, FileDialogRequest::Kind::Save);
        QCOMPARE(request.fileName, QStringLiteral("new"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("gpl"));
        QVERIFY(request.initialDirectory.isEmpty()); // no fall-back for saving
        QVERIFY(request.confirmOverwrite);
        QVERIFY(!request.existingFileOnly);
        QCOMPARE(dialog.FilterIndex(), 1);

        // Saving does not change the path that opening falls back to.
        backend.cancel();
        (void)dialog.ShowOpen(nullptr, "Open", "", kRoms, kOpenFlags);
        QCOMPARE(backend.requests.last().initialDirectory, QStringLiteral("/roms/a.nds"));
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
