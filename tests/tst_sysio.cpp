// One contract for every implementation of the system calls: the real one, the fault double
// (with no faults set) and the in-memory one that the fuzz targets use. Each row runs on each.
#include "FaultInjectingIo.h"
#include "MemoryIo.h"
#include "files/OpenFile.h"

#include <QTemporaryDir>
#include <QtTest/QTest>

#include <cerrno>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Mode = files::SysIo::Mode;

// An implementation and where its files go.
struct Implementation {
    files::SysIo& io;
    std::function<std::string(const char*)> path;
};

// Makes `name` hold `bytes` through `io` itself.
void put(const Implementation& on, const char* name, const std::string& bytes) {
    const int fd = on.io.open(on.path(name), Mode::CreateNew);
    QVERIFY(fd >= 0);
    QCOMPARE(on.io.pwrite(fd, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 0),
             std::int64_t(bytes.size()));
    QCOMPARE(on.io.close(fd), 0);
}

std::int64_t sizeOf(const Implementation& on, const char* name) {
    files::FileStatus status;
    return on.io.status(on.path(name), status) == 0 ? status.size : -1;
}

std::string readAll(const Implementation& on, const char* name) {
    const int fd = on.io.open(on.path(name), Mode::ReadOnly);
    std::string bytes(64, '\0');
    const std::int64_t n =
        on.io.pread(fd, reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size(), 0);
    (void)on.io.close(fd);
    bytes.resize(n < 0 ? 0 : std::size_t(n));
    return bytes;
}

// The cases, each checked on one implementation.
const std::map<QString, std::function<void(const Implementation&)>> kCases = {
    {"open a missing file",
     [](const Implementation& on) {
         for (const Mode mode : {Mode::ReadOnly, Mode::ReadWrite, Mode::WriteOnly})
             QCOMPARE(on.io.open(on.path("missing"), mode), -ENOENT);
         files::FileStatus status;
         QCOMPARE(on.io.status(on.path("missing"), status), -ENOENT);
     }},
    {"read inside and past the end",
     [](const Implementation& on) {
         put(on, "f", "abcdef");
         const int fd = on.io.open(on.path("f"), Mode::ReadOnly);
         std::uint8_t buffer[8] = {};
         QCOMPARE(on.io.pread(fd, buffer, 3, 1), 3);
         QCOMPARE(buffer[0], 'b');
         QCOMPARE(on.io.pread(fd, buffer, 8, 4), 2); // cut at the end
         QCOMPARE(on.io.pread(fd, buffer, 8, 6), 0); // at the end
         QCOMPARE(on.io.pread(fd, buffer, 8, 100), 0);
         QCOMPARE(on.io.close(fd), 0);
     }},
    {"a write past the end is refused and never lengthens the file",
     [](const Implementation& on) {
         put(on, "f", "abcdef");
         auto file = files::OpenFile::open(on.io, on.path("f"), Mode::ReadWrite);
         QVERIFY(file.ok());
         std::size_t written = 99;
         const base::Status status = file.value().write(4, files::Bytes{1, 2, 3}, &written);
         QVERIFY(!status.ok());
         QCOMPARE(status.error().kind, base::Error::Kind::PastEnd);
         QCOMPARE(written, std::size_t(0));
         QVERIFY(file.value().close().ok());
         QCOMPARE(sizeOf(on, "f"), 6);
         QCOMPARE(readAll(on, "f"), std::string("abcdef"));
     }},
    {"a write inside lands in place",
     [](const Implementation& on) {
         put(on, "f", "abcdef");
         const int fd = on.io.open(on.path("f"), Mode::ReadWrite);
         QCOMPARE(on.io.pwrite(fd, reinterpret_cast<const std::uint8_t*>("XY"), 2, 2), 2);
         QCOMPARE(on.io.fsync(fd), 0);
         QCOMPARE(on.io.close(fd), 0);
         QCOMPARE(readAll(on, "f"), std::string("abXYef"));
     }},
    {"only a new file is created",
     [](const Implementation& on) {
         put(on, "f", "abc");
         QCOMPARE(on.io.open(on.path("f"), Mode::CreateNew), -EEXIST);
         std::string first = on.path("u.XXXXXX"), second = on.path("u.XXXXXX");
         const int a = on.io.createUnique(first), b = on.io.createUnique(second);
         QVERIFY(a >= 0 && b >= 0);
         QVERIFY(first != second && first != on.path("u.XXXXXX"));
         QCOMPARE(on.io.close(a), 0);
         QCOMPARE(on.io.close(b), 0);
         files::FileStatus a_status, b_status;
         QCOMPARE(on.io.status(first, a_status), 0);
         QCOMPARE(on.io.status(second, b_status), 0);
         QCOMPARE(a_status.size + b_status.size, 0);
     }},
    {"rename and unlink",
     [](const Implementation& on) {
         put(on, "from", "new");
         put(on, "to", "old");
         QCOMPARE(on.io.rename(on.path("from"), on.path("to")), 0);
         QCOMPARE(readAll(on, "to"), std::string("new"));
         QCOMPARE(sizeOf(on, "from"), -1);
         QCOMPARE(on.io.rename(on.path("from"), on.path("to")), -ENOENT);
         QCOMPARE(on.io.unlink(on.path("to")), 0);
         QCOMPARE(on.io.unlink(on.path("to")), -ENOENT);
     }},
    {"status and permissions",
     [](const Implementation& on) {
         put(on, "f", "abcd");
         QCOMPARE(on.io.chmod(on.path("f"), 0640), 0);
         files::FileStatus status;
         QCOMPARE(on.io.status(on.path("f"), status), 0);
         QVERIFY(status.isRegular());
         QCOMPARE(status.size, 4);
         QCOMPARE(status.mode & 0777u, 0640u);
         const int fd = on.io.open(on.path("f"), Mode::ReadOnly);
         files::FileStatus open;
         QCOMPARE(on.io.status(fd, open), 0);
         QVERIFY(open.sameFile(status));
         QCOMPARE(on.io.close(fd), 0);
     }},
    {"a unique file is private until its mode is set",
     [](const Implementation& on) {
         std::string name = on.path("u.XXXXXX");
         const int fd = on.io.createUnique(name);
         files::FileStatus status;
         QCOMPARE(on.io.status(fd, status), 0);
         QCOMPARE(status.mode & 077u, 0u);
         QCOMPARE(on.io.setMode(fd, on.io.newFileMode()), 0);
         QCOMPARE(on.io.status(fd, status), 0);
         QCOMPARE(status.mode & 0777u, on.io.newFileMode());
         QCOMPARE(on.io.setOwner(fd, status.owner, status.group), 0);
         QCOMPARE(on.io.close(fd), 0);
     }},
    {"a closed descriptor is refused",
     [](const Implementation& on) {
         put(on, "f", "abcd");
         const int fd = on.io.open(on.path("f"), Mode::ReadOnly);
         QCOMPARE(on.io.close(fd), 0);
         std::uint8_t byte = 0;
         QCOMPARE(on.io.pread(fd, &byte, 1, 0), -EBADF);
         QCOMPARE(on.io.fsync(fd), -EBADF);
         QCOMPARE(on.io.close(fd), -EBADF);
     }},
};

} // namespace

class TestSysIo : public QObject {
    Q_OBJECT

private slots:
    // A temporary file made by the real system calls goes with the process when a signal ends
    // it before the file is renamed into place; the process still ends by that signal.
    void temporaryFileGoesWithAFatalSignal_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGXFSZ") << SIGXFSZ;
    }
    void temporaryFileGoesWithAFatalSignal() {
        QFETCH(int, signal);
        QTemporaryDir folder;
        const std::string pattern = QFile::encodeName(folder.filePath("t.XXXXXX")).toStdString();
        int names[2];
        QVERIFY(::pipe(names) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(signal, SIG_DFL); // as a fresh process has it
            std::string name = pattern;
            if (files::systemIo().createUnique(name) < 0)
                ::_exit(2);
            (void)!::write(names[1], name.c_str(), name.size());
            ::close(names[1]);
            ::raise(signal);
            ::_exit(0);
        }
        ::close(names[1]);
        char made[4096] = {};
        const ssize_t n = ::read(names[0], made, sizeof made - 1);
        ::close(names[0]);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(n > 0);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), signal);
        QVERIFY2(!QFile::exists(QString::fromLocal8Bit(made)), made);
    }

    // The in-memory one keeps no folders, links or streams: the cases about those (sequential
    // reads and writes, symbolic links, FIFOs) run on real files, in tst_cli and tst_open.
    void contract_data() {
        QTest::addColumn<QString>("implementation");
        QTest::addColumn<QString>("name");
        for (const char* implementation : {"posix", "fault double", "in memory"})
            for (const auto& [name, check] : kCases)
                QTest::addRow("%s: %s", implementation, qPrintable(name)) << implementation << name;
    }
    void contract() {
        QFETCH(QString, implementation);
        QFETCH(QString, name);
        QTemporaryDir folder;
        FaultInjectingIo fault;
        MemoryIo memory;
        const auto onDisk = [&folder](const char* file) {
            return QFile::encodeName(folder.filePath(QString::fromLocal8Bit(file))).toStdString();
        };
        const auto inMemory = [](const char* file) { return std::string(file); };
        const Implementation on =
            implementation == "posix"          ? Implementation{files::systemIo(), onDisk}
            : implementation == "fault double" ? Implementation{fault, onDisk}
                                               : Implementation{memory, inMemory};
        kCases.at(name)(on);
    }
};

QTEST_GUILESS_MAIN(TestSysIo)
#include "tst_sysio.moc"
