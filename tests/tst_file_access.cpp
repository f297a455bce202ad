// File access on real files, with failures injected below it: what lands on disk, what is
// reported, and that a failed rewrite leaves no half record.
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "SyntheticRom.h"
#include "base/Text.h"
#include "files/FileAccess.h"

#include <QFile>
#include <QtTest/QTest>

#include <cerrno>

using Call = FaultInjectingIo::Call;

namespace {} // namespace

class TestFileAccess : public QObject {
    Q_OBJECT

private slots:
    // Text from files and command lines as messages show it: nothing that steers a terminal
    // or reorders what is read gets through raw, and a second pass changes nothing.
    void printableText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain and accented") << QByteArray("Pok\xC3\xA9mon") << "Pokémon";
        QTest::newRow("escape, bell, CR, LF")
            << QByteArray("\x1B[2J\a\r\n") << "\\x1B[2J\\x07\\x0D\\x0A";
        QTest::newRow("delete and a C1 control") << QByteArray("\x7F\xC2\x9B") << "\\x7F\\xC2\\x9B";
        QTest::newRow("no UTF-8") << QByteArray("a\xE9"
                                                "b")
                                  << "a\\xE9b";
        QTest::newRow("marks left-to-right and right-to-left")
            << QByteArray("\xE2\x80\x8E\xE2\x80\x8F") << "\\u200E\\u200F";
        QTest::newRow("embeddings and overrides, first and last")
            << QByteArray("\xE2\x80\xAA\xE2\x80\xAE") << "\\u202A\\u202E";
        QTest::newRow("isolates, first and last")
            << QByteArray("\xE2\x81\xA6\xE2\x81\xA9") << "\\u2066\\u2069";
        QTest::newRow("the Arabic letter mark") << QByteArray("a\xD8\x9C") << "a\\u061C";
        QTest::newRow("line and paragraph separators, which break a line in a window")
            << QByteArray("\xE2\x80\xA8\xE2\x80\xA9") << "\\u2028\\u2029";
        QTest::newRow("their neighbours stay")
            << QByteArray("\xE2\x80\x8D\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA")
            << QString::fromUtf8("\u200D\u202F\u2065\u206A");
    }
    void printableText() {
        QFETCH(QByteArray, text);
        QFETCH(QString, shown);
        const std::string once = base::printable(text.toStdString());
        QCOMPARE(QString::fromStdString(once), shown);
        QCOMPARE(base::printable(once), once);
    }

    // A path's folder and last name, and where a file made beside it goes, under each
    // system's rules: on Linux a backslash is a letter of a name, on Windows a separator like
    // '/', after a drive or a network share that roots the path.
    void pathsUnderBothRules_data() {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("beside"); // of ".t"
        QTest::addColumn<bool>("absolute");
        QTest::newRow("Linux: a bare name") << false << "t.csv"
                                            << "."
                                            << "t.csv"
                                            << ".t" << false;
        QTest::newRow("Linux: a folder") << false << "sub/t.csv"
                                         << "sub"
                                         << "t.csv"
                                         << "sub/.t" << false;
        QTest::newRow("Linux: the root") << false << "/t.csv"
                                         << "/"
                                         << "t.csv"
                                         << "/.t" << true;
        QTest::newRow("Linux: a backslash is a letter") << false << R"(sub\t.csv)"
                                                        << "."
                                                        << R"(sub\t.csv)"
                                                        << ".t" << false;
        QTest::newRow("Linux: no drives") << false << "C:/roms/a.nds"
                                          << "C:/roms"
                                          << "a.nds"
                                          << "C:/roms/.t" << false;
        QTest::newRow("Windows: a backslash") << true << R"(sub\t.csv)"
                                              << "sub"
                                              << "t.csv"
                                              << R"(sub\.t)" << false;
        QTest::newRow("Windows: both") << true << R"(a/b\c.nds)"
                                       << "a/b"
                                       << "c.nds"
                                       << R"(a/b\.t)" << false;
        QTest::newRow("Windows: a drive's root") << true << R"(C:\a.nds)"
                                                 << R"(C:\)"
                                                 << "a.nds"
                                                 << R"(C:\.t)" << true;
        QTest::newRow("Windows: a drive's current folder") << true << "D:a.nds"
                                                           << "D:"
                                                           << "a.nds"
                                                           << "D:.t" << false;
        QTest::newRow("Windows: the current drive's root") << true << R"(\a.nds)"
                                                           << R"(\)"
                                                           << "a.nds"
                                                           << R"(\.t)" << true;
        QTest::newRow("Windows: a share") << true << R"(\\server\roms\a.nds)"
                                          << R"(\\server\roms\)"
                                          << "a.nds"
                                          << R"(\\server\roms\.t)" << true;
        QTest::newRow("Windows: a folder of a share") << true << "//server/roms/hg/a.nds"
                                                      << "//server/roms/hg"
                                                      << "a.nds"
                                                      << "//server/roms/hg/.t" << true;
        QTest::newRow("Windows: a bare name") << true << "a.nds"
                                              << "."
                                              << "a.nds"
                                              << ".t" << false;
    }
    void pathsUnderBothRules() {
        QFETCH(bool, windows);
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, beside);
        QFETCH(bool, absolute);
        const auto rules = windows ? files::PathRules::Windows : files::PathRules::Posix;
        const std::string text = path.toStdString();
        QCOMPARE(QString::fromStdString(files::folderOf(text, rules)), folder);
        QCOMPARE(QString::fromStdString(files::lastName(text, rules)), name);
        QCOMPARE(QString::fromStdString(files::besideName(text, ".t", rules)), beside);
        QCOMPARE(files::isAbsolute(text, rules), absolute);
    }

    void init() {
        m_roms = std::make_unique<SyntheticRom>();
        m_path = m_roms->create("image.nds", "ADAE", 4096);
        m_io.reset();
    }

    // Each failure names the file, the reason and the platform's number, and nothing is left
    // open.
    void failuresAreReported_data() {
        QTest::addColumn<int>("fault"); // 0: none injected
        QTest::addColumn<int>("call");
        QTest::addColumn<QString>("path"); // empty: the image
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reasonContains");
        QTest::addColumn<bool>("opened");
        QTest::newRow("missing file")
            << 0 << 0 << "missing.nds" << 0LL << ENOENT << "No such file" << false;
        QTest::newRow("past the end") << 0 << 0 << "" << 4095LL << 0 << "ends at byte 4096" << true;
        QTest::newRow("negative offset") << 0 << 0 << "" << -1LL << 0 << "outside" << true;
        QTest::newRow("cannot open")
            << EACCES << int(Call::Open) << "" << 0LL << EACCES << "Permission denied" << false;
        QTest::newRow("read fails")
            << EIO << int(Call::Pread) << "" << 0LL << EIO << "Input/output error" << true;
    }
    void failuresAreReported() {
        QFETCH(int, fault);
        QFETCH(int, call);
        QFETCH(QString, path);
        QFETCH(qint64, offset);
        QFETCH(int, code);
        QFETCH(QString, reasonContains);
        QFETCH(bool, opened);
        if (fault)
            m_io.failCall(static_cast<Call>(call), fault, 1);
        const QString target = path.isEmpty() ? m_path : m_roms->folder() + "/" + path;
        base::Result<files::Bytes> read = [&]() -> base::Result<files::Bytes> {
            base::Result<files::OpenFile> file =
                files::OpenFile::open(m_io, local(target), files::SysIo::Mode::ReadOnly);
            if (!file.ok())
                return file.error();
            return file.value().read(offset, 2);
        }();
        QVERIFY(!read.ok());
        QCOMPARE(read.error().systemError, code);
        const QString text = QString::fromStdString(read.error().describe());
        QVERIFY2(text.contains(reasonContains), qPrintable(text));
        QVERIFY2(text.contains(target), qPrintable(text));
        QCOMPARE(m_io.count(Call::Close), opened ? 1 : 0); // nothing is left open
    }

    // Several spans: one write each and one flush; when the second fails, the first is put
    // back, and so are both when the flush fails.
    void rewriteOfSeveralSpans_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("none") << "";
        QTest::newRow("second write fails") << "write";
        QTest::newRow("flush fails") << "flush";
    }
    void rewriteOfSeveralSpans() {
        QFETCH(QString, fault);
        const QByteArray before = SyntheticRom::sha256(m_path);
        if (fault == "write")
            m_io.failCall(Call::Pwrite, EIO, 2);
        else if (fault == "flush")
            m_io.failCall(Call::Fsync, EIO, 1);
        const base::Status status =
            rewrite({{100, 10}, {300, 10}}, [](files::Bytes& b) { b.assign(b.size(), 0x5C); });
        QCOMPARE(status.ok(), fault.isEmpty());
        if (fault.isEmpty()) {
            QCOMPARE(SyntheticRom::read(m_path, 100, 10), QByteArray(10, '\x5C'));
            QCOMPARE(SyntheticRom::read(m_path, 300, 10), QByteArray(10, '\x5C'));
            QCOMPARE(m_io.count(Call::Fsync), 1);
            return;
        }
        QVERIFY2(QString::fromStdString(status.error().describe()).contains("were put back"),
                 status.error().describe().c_str());
        QCOMPARE(SyntheticRom::sha256(m_path), before);
    }

    void updateWritesOnceAndFlushes() {
        SyntheticRom::write(m_path, 1000, QByteArray("\x01\x02\x03\x04", 4));
        const base::Status status = update(1000, 4, [](files::Bytes& b) {
            b[1] = 0xAA;
            b[3] = 0xBB;
        });
        QVERIFY(status.ok());
        QCOMPARE(SyntheticRom::read(m_path, 1000, 4), QByteArray("\x01\xAA\x03\xBB", 4));
        QCOMPARE(m_io.count(Call::Open), 1);
        QCOMPARE(m_io.count(Call::Pwrite), 1);
        QCOMPARE(m_io.count(Call::Fsync), 1);
        QCOMPARE(m_io.count(Call::Close), 1);
    }

    void updateNeverExtendsTheFile() {
        const QByteArray before = SyntheticRom::sha256(m_path);
        const base::Status status = update(4095, 2, [](files::Bytes& b) { b[0] = 1; });
        QVERIFY(!status.ok());
        QCOMPARE(status.error().kind, base::Error::Kind::PastEnd);
        QCOMPARE(QFileInfo(m_path).size(), 4096);
        QCOMPARE(SyntheticRom::sha256(m_path), before);
    }

    // A write that stops part-way is undone: the span is wholly old, and the error is named.
    void failedUpdateLeavesTheOldBytes_data() {
        QTest::addColumn<int>("bytesBeforeFailure");
        QTest::addColumn<int>("error");
        QTest::newRow("nothing written") << 0 << EIO;
        QTest::newRow("one byte written") << 1 << ENOSPC;
        QTest::newRow("all but one written") << 25 << EIO;
    }
    void failedUpdateLeavesTheOldBytes() {
        QFETCH(int, bytesBeforeFailure);
        QFETCH(int, error);
        SyntheticRom::write(m_path, 2000, QByteArray(26, '\x5A'));
        const QByteArray before = SyntheticRom::sha256(m_path);
        m_io.failWritesAfter(bytesBeforeFailure, error);
        const base::Status status =
            update(2000, 26, [](files::Bytes& b) { std::fill(b.begin(), b.end(), 0xC3); });
        QVERIFY(!status.ok());
        QCOMPARE(status.error().systemError, error);
        QVERIFY(
            !QString::fromStdString(status.error().describe()).contains("could not be put back"));
        QCOMPARE(SyntheticRom::sha256(m_path), before);
    }

    void failedUndoIsSaid() {
        m_io.failWritesAfter(10, EIO);
        m_io.failCall(Call::Pwrite, EIO, 3); // the undo after the short write and the failure
        const base::Status status = update(2000, 26, [](files::Bytes& b) { b[0] = 1; });
        QVERIFY(!status.ok());
        QVERIFY(
            QString::fromStdString(status.error().describe()).contains("could not be put back"));
    }

    // A flush that fails leaves the old bytes in place: the update is reported as failed,
    // so it must not have happened.
    void failedFlushPutsTheOldBytesBack() {
        const QByteArray before = SyntheticRom::sha256(m_path);
        m_io.failCall(Call::Fsync, EIO, 1);
        const base::Status status = update(2000, 26, [](files::Bytes& b) { b[0] = 1; });
        QVERIFY(!status.ok());
        QCOMPARE(status.error().systemError, EIO);
        QVERIFY(QString::fromStdString(status.error().describe()).contains("flush"));
        QCOMPARE(SyntheticRom::sha256(m_path), before);
        QCOMPARE(m_io.count(Call::Pwrite), 2);
    }

private:
    // Rewrites `count` bytes from `offset` as `edit` changes them, in one open.
    base::Status update(std::int64_t offset, std::int64_t count,
                        const std::function<void(files::Bytes&)>& edit) {
        return rewrite({{offset, count}}, edit);
    }

    // Rewrites each span of `spans` (offset, length) in one open and one flush.
    base::Status rewrite(const std::vector<std::pair<std::int64_t, std::int64_t>>& spans,
                         const std::function<void(files::Bytes&)>& edit) {
        base::Result<files::OpenFile> file =
            files::OpenFile::open(m_io, local(m_path), files::SysIo::Mode::ReadWrite);
        if (!file.ok())
            return file.error();
        std::vector<files::Rewrite> rewrites;
        for (const auto& [offset, count] : spans) {
            base::Result<files::Bytes> before = file.value().read(offset, count);
            if (!before.ok())
                return before.error();
            files::Bytes after = before.value();
            edit(after);
            rewrites.push_back({offset, before.value(), after});
        }
        if (base::Status done = files::rewrite(file.value(), rewrites); !done.ok())
            return done;
        return file.value().close();
    }

    std::unique_ptr<SyntheticRom> m_roms;
    QString m_path;
    FaultInjectingIo m_io;
};

QTEST_GUILESS_MAIN(TestFileAccess)
#include "tst_file_access.moc"
