// Several programs at one image: two imports at once, an export during an import, an import
// killed at any moment, and an import while the window saves. The table is always one whole
// table, never a mix.
#include "CliRun.h"
#include "WindowHarness.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest/QTest>

#include <csignal>

namespace {

QProcess* startCli(QObject* owner, const QStringList& arguments) {
    auto* process = new QProcess(owner);
    process->start(QStringLiteral(STATWRIGHT_CLI), arguments);
    return process;
}

// Whether `process` has ended, waiting for it if it has not; one that the event loop saw end
// already counts.
bool ended(QProcess* process) {
    return process->state() == QProcess::NotRunning || process->waitForFinished(30000);
}

} // namespace

class TestConcurrency : public QObject {
    Q_OBJECT

    std::unique_ptr<SyntheticRom> m_roms;
    QString m_image;
    qint64 m_base = 0;
    QByteArray m_start; // the table at the start of each round

    // A table as exported, with the hp of the entries at `positions` (every entry, if empty)
    // set to `hp`; and the image's table bytes that it stands for, worked out here.
    QString table(const QString& name, int hp, const QList<int>& positions, QByteArray* bytes) {
        const QString csv = m_roms->folder() + "/" + name;
        QList<QByteArray> lines = readFile(m_roms->folder() + "/start.csv").split('\n');
        QByteArray expected = m_start;
        for (int position = 0; position < 500; ++position) {
            if (!positions.isEmpty() && !positions.contains(position))
                continue;
            QList<QByteArray> cells = lines[position + 1].split(',');
            cells[2] = QByteArray::number(hp);
            lines[position + 1] = cells.join(',');
            expected[position * 44] = char(hp);
        }
        writeFile(csv, lines.join('\n'));
        if (bytes)
            *bytes = expected;
        return csv;
    }
    QByteArray tableBytes() const { return SyntheticRom::read(m_image, m_base, 500 * 44); }
    // Every other entry, from `first`: 250 runs of one entry, so 250 writes of the image.
    static QList<int> everyOther(int first) {
        QList<int> positions;
        for (int position = first; position < 500; position += 2)
            positions.append(position);
        return positions;
    }
    void restart() { SyntheticRom::write(m_image, m_base, m_start); }

private slots:
    void init() {
        m_roms = std::make_unique<SyntheticRom>();
        m_image = m_roms->createFor("ADAE");
        SyntheticRom::fillRecords(m_image, "ADAE", 21);
        m_base = SyntheticRom::recordBase("ADAE");
        QByteArray start = SyntheticRom::read(m_image, m_base, 500 * 44);
        for (int position = 0; position < 500; ++position)
            start[position * 44] = char(100); // no table below sets hp 100
        SyntheticRom::write(m_image, m_base, start);
        m_start = start;
        QCOMPARE(runCli({"export", m_image, "-o", m_roms->folder() + "/start.csv"}).status, 0);
    }
    void cleanup() { m_roms.reset(); }

    // Two imports of different tables at once, 20 times: the second waits for the first, and
    // the image holds one of the two tables whole. Were they to read the table at the same
    // time, the even entries of one and the odd entries of the other would both be written.
    void twoImportsAtOnce() {
        QByteArray first, second;
        const QString a = table("a.csv", 1, everyOther(0), &first);
        const QString b = table("b.csv", 2, everyOther(1), &second);
        for (int round = 0; round < 20; ++round) {
            restart();
            QProcess* one = startCli(this, {"import", m_image, a});
            QProcess* two = startCli(this, {"import", m_image, b});
            QVERIFY(ended(one) && ended(two));
            QCOMPARE(one->exitCode(), 0);
            QCOMPARE(two->exitCode(), 0);
            const QByteArray now = tableBytes();
            QVERIFY2(now == first || now == second, qPrintable(QString::number(round)));
            delete one;
            delete two;
        }
    }

    // An export taken while an import runs shows the table before it or after it.
    void exportDuringAnImport() {
        QByteArray changed;
        const QString a = table("a.csv", 3, everyOther(0), &changed);
        const QByteArray before = readFile(m_roms->folder() + "/start.csv");
        for (int round = 0; round < 30; ++round) {
            restart();
            QProcess* import = startCli(this, {"import", m_image, a});
            QProcess* reader = startCli(this, {"export", m_image});
            QVERIFY(ended(import) && ended(reader));
            QCOMPARE(import->exitCode(), 0);
            QCOMPARE(reader->exitCode(), 0);
            const QByteArray shown = reader->readAllStandardOutput();
            QVERIFY2(shown == before || shown == readFile(a), qPrintable(QString::number(round)));
            delete import;
            delete reader;
        }
    }

    // An import slowed down (each write delayed) and killed with SIGKILL at a different moment
    // each round: the next export recovers, says so, and shows the old table or the new.
    // An export piped into an import of the same image: the import reads all of its input
    // before it locks the image, so the export, still reading, is never shut out.
    void exportPipedIntoImport() {
        const QString cli = QStringLiteral(STATWRIGHT_CLI);
        for (int round = 0; round < 30; ++round) {
            const int hp = 1 + round % 2;
            QProcess pipeline;
            pipeline.start("/bin/sh",
                           {"-c", QStringLiteral("'%1' export '%2' | sed "
                                                 "'s/^0,Bulbasaur,[0-9]*,/0,Bulbasaur,%3,/' | "
                                                 "'%1' import '%2' -")
                                      .arg(cli, m_image)
                                      .arg(hp)});
            QVERIFY(pipeline.waitForFinished(60000));
            QVERIFY2(pipeline.exitCode() == 0,
                     qPrintable(QStringLiteral("round %1: %2")
                                    .arg(round)
                                    .arg(QString::fromUtf8(pipeline.readAllStandardError()))));
            QCOMPARE(int(tableBytes()[0]), hp);
        }
    }

    void importKilledAtAnyMoment() {
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            QSKIP("strace is needed to slow the import down");
        QByteArray changed;
        const QString a = table("a.csv", 5, everyOther(0), &changed);
        int rolledBack = 0, untouched = 0, finished = 0;
        for (int round = 0; round < 12; ++round) {
            restart();
            QProcess slowed;
            slowed.start(strace, {"-f", "-qq", "-o", "/dev/null", "-e", "trace=pwrite64,fsync",
                                  "-e", "inject=pwrite64,fsync:delay_enter=20000",
                                  QStringLiteral(STATWRIGHT_CLI), "import", m_image, a});
            QVERIFY(slowed.waitForStarted());
            // The import itself, not strace: killing strace would let it run on.
            const QString children =
                QStringLiteral("/proc/%1/task/%1/children").arg(slowed.processId());
            QByteArray child;
            QVERIFY(QTest::qWaitFor(
                [&] { return !(child = readFile(children).trimmed()).isEmpty(); }, 10000));
            // Killed while it writes: once its journal is there, 20 ms later each round, so that
            // the rounds spread over the journal's flushes, the image's write and the end,
            // each of which the tracer slows by 20 ms (the first rounds also before it begins,
            // when the journal is slow to come).
            (void)QTest::qWaitFor([&] { return QFile::exists(m_image + ".statwright-journal"); },
                                  round < 2 ? 40 : 10000);
            QTest::qWait(round * 20);
            ::kill(pid_t(child.split(' ').front().toLongLong()), SIGKILL);
            QVERIFY(slowed.waitForFinished(30000));

            const CliOutcome after = runCli({"export", m_image, "-o", m_roms->folder() + "/x.csv"});
            QCOMPARE(after.status, 0);
            const QByteArray now = tableBytes();
            QVERIFY2(now == m_start || now == changed, qPrintable(QString::number(round)));
            if (after.err.contains("rolled back"))
                ++rolledBack;
            else if (now == changed)
                ++finished;
            else
                ++untouched;
            QVERIFY(!QFile::exists(m_image + ".statwright-journal"));
        }
        qInfo("rolled back %d, never begun %d, finished %d", rolledBack, untouched, finished);
        QVERIFY(rolledBack > 0);
    }

    // The window saves an entry while an import of a whole table runs: it saves before the
    // import (which then writes its table) or finds its entry changed and asks, and Cancel
    // leaves the imported table. Either way, the image holds the imported table whole.
    void importWhileTheWindowSaves() {
        WindowHarness h;
        h.open(m_image);
        QByteArray changed;
        const QString a = table("a.csv", 7, {}, &changed);
        int asked = 0;
        for (int round = 0; round < 10; ++round) {
            restart();
            // The hp typed and not saved in the round before, when the window asked.
            if (h.window().isWindowModified())
                h.prompter.answers = {QStringLiteral("Discard")};
            h.clickEntry(10);
            h.prompter.take();
            h.type("txtHP", "9");
            h.prompter.answers = {QStringLiteral("Cancel")};
            QProcess* import = startCli(this, {"import", m_image, a});
            QTest::qWait(round * 5);
            h.save();
            QVERIFY(ended(import));
            QCOMPARE(import->exitCode(), 0);
            QCOMPARE(tableBytes(), changed);
            asked += h.prompter.answers.isEmpty() ? 1 : 0;
            h.prompter.take();
            delete import;
        }
        qInfo("asked %d times in 10", asked);
    }
};

QTEST_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
