// statwright-cli in process: its commands, exit statuses and messages, the import's checks of
// every row, its all-or-nothing writing, and the file-system check.
#include "CliRun.h"
#include "FaultInjectingIo.h"
#include "NotRegularFiles.h"
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"
#include "nds/GameEdition.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest/QTest>

#include <map>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using Call = FaultInjectingIo::Call;

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_roms = std::make_unique<SyntheticRom>();
        m_image = m_roms->createFor("ADAE");
        SyntheticRom::fillRecords(m_image, "ADAE", 42);
        m_csv = m_roms->folder() + "/table.csv";
        QCOMPARE(runCli({"export", m_image, "--output", m_csv}).status, 0);
        m_table = readFile(m_csv);
    }

    void identify_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("supported") << QByteArray("CPUJ") << 0x37F3C08LL + 500 * 44 << 0
                                   << "code: CPUJ\ntitle: Pokémon Platinum\nlanguage: Japanese\n"
                                      "record base: 0x37F3C08 (58670088)\n";
        QTest::newRow("too short for its table")
            << QByteArray("CPUJ") << 0x37F3C08LL + 500 * 44 - 1 << 1
            << "the image has no file system, and it ends at byte 58692087, before the end of "
               "the table at CPUJ's fixed place (0x37F3C08 to 0x37F91F8)";
        QTest::newRow("unsupported") << QByteArray("ADAX") << 64LL << 1 << "unsupported game code";
        QTest::newRow("known only through a file system, without one")
            << QByteArray("IPGE") << 64LL << 1
            << "Could not find the base-stat table of SoulSilver (IPGE) in";
        QTest::newRow("too short") << QByteArray("AD") << 14LL << 1 << "too short";
    }
    void identify() {
        QFETCH(QByteArray, code);
        QFETCH(qint64, size);
        QFETCH(int, status);
        QFETCH(QString, says);
        const QString path = m_roms->create("other.nds", code, size);
        const CliOutcome result = runCli({"identify", path});
        QCOMPARE(result.status, status);
        QVERIFY2((status == 0 ? result.out : result.err).contains(says), qPrintable(result.err));
    }

    void missingImageIsAnInputOutputFailure() {
        const CliOutcome result = runCli({"identify", m_roms->folder() + "/gone.nds"});
        QCOMPARE(result.status, 3);
        QVERIFY(result.err.contains("gone.nds"));
        QVERIFY(result.err.contains("No such file or directory"));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("nothing") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"frob"} << 2;
        QTest::newRow("too few arguments") << QStringList{"import", "a.nds"} << 2;
        QTest::newRow("too many arguments") << QStringList{"check", "a", "b"} << 2;
        QTest::newRow("unknown option") << QStringList{"export", "a.nds", "--colour"} << 2;
        QTest::newRow("bad format") << QStringList{"export", "a.nds", "--format", "xml"} << 2;
        QTest::newRow("option without value") << QStringList{"export", "a.nds", "--output"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("command help") << QStringList{"import", "--help"} << 0;
        QTest::newRow("help command") << QStringList{"help", "check"} << 0;
        QTest::newRow("repeated option")
            << QStringList{"export", "a.nds", "-o", "x.csv", "-o", "y.csv"} << 2;
        QTest::newRow("flag given a value")
            << QStringList{"import", "a.nds", "t.csv", "--dry-run=yes"} << 2;
        QTest::newRow("demo of an unknown code")
            << QStringList{"sample", "x.nds", "-c", "CPUX"} << 2;
    }

    // What a Unix user expects of a command line: "--" ends the options, a value may follow
    // its option at once.
    void argumentForms_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        QTest::newRow("a name after --")
            << QStringList{"identify", "--", "--x.nds"} << "Could not open \"--x.nds\"";
        QTest::newRow("-fjson") << QStringList{"export", "IMAGE", "-fjson"} << "\"game_code\"";
        QTest::newRow("--format=json")
            << QStringList{"export", "IMAGE", "--format=json"} << "\"game_code\"";
    }
    void argumentForms() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        arguments.replaceInStrings("IMAGE", m_image);
        const CliOutcome result = runCli(arguments);
        QVERIFY2((result.out + result.err).contains(says), qPrintable(result.err));
        QVERIFY(result.status != 2);
    }

    // export never writes over the image it reads; it writes through a link to the link's
    // file, which keeps its permissions; and a failed write leaves the old file and no other.
    void exportOutputIsSafe() {
        FaultInjectingIo io;
        const QString link = m_roms->folder() + "/link.nds";
        QVERIFY(QFile::link(m_image, link));
        for (const QString& output : {m_image, link}) {
            const CliOutcome result = runCli({"export", m_image, "-o", output}, io);
            QCOMPARE(result.status, 2);
            QVERIFY(result.err.contains("is the image itself; nothing was written"));
        }
        QCOMPARE(io.count(Call::OpenForWriting) + io.count(Call::CreateUnique), 0);
        QCOMPARE(QFileInfo(m_image).size(), SyntheticRom::recordBase("ADAE") + 500 * 44 + 4096);

        const QString target = m_roms->folder() + "/target.csv";
        writeFile(target, "old");
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QFile::Permissions permissions = QFile::permissions(target);
        const QString tableLink = m_roms->folder() + "/table-link.csv";
        QVERIFY(QFile::link(target, tableLink));
        io.failCall(Call::Fsync, EIO, 1);
        QCOMPARE(runCli({"export", m_image, "-o", tableLink}, io).status, 3);
        QCOMPARE(readFile(target), QByteArray("old"));
        QCOMPARE(runCli({"export", m_image, "-o", tableLink}, io).status, 0);
        QVERIFY(QFileInfo(tableLink).isSymLink());
        QCOMPARE(readFile(target), m_table);
        QCOMPARE(QFile::permissions(target), permissions);
        const QStringList left = QDir(m_roms->folder()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left.filter("target.csv.").size(), 0);
    }

    // A FIFO, a folder or a device named as the image: a clear message at once, nothing
    // written, and a FIFO never waited for.
    void notRegularImages_data() { notRegular::addRows(); }
    void notRegularImages() {
        QFETCH(QString, path);
        QFETCH(QString, kind);
        path = notRegular::make(path, m_roms->folder());
        const QString said =
            QStringLiteral("\"%1\" is not a regular file (it is %2)").arg(path, kind);
        for (const QStringList& arguments :
             {QStringList{"identify", path}, QStringList{"check", path},
              QStringList{"import", path, m_csv}, QStringList{"import", m_image, path}}) {
            FaultInjectingIo io;
            const CliOutcome result = runCli(arguments, io);
            QCOMPARE(result.status, 1);
            QVERIFY2(result.err.contains(said), qPrintable(result.err));
            // Nothing is opened for writing: not what is no regular file, and not the real image
            // either, since the table is read first.
            QCOMPARE(io.count(Call::OpenForWriting), 0);
            QCOMPARE(io.count(Call::Pwrite), 0);
        }
    }

    // Streams: -o - is standard output, -o onto a FIFO or /dev/stdout writes straight into
    // it, and import reads a table piped to it as -.
    void streams() {
        const auto cli = [](const QStringList& arguments, const QByteArray& input = {}) {
            QProcess process;
            process.start(QStringLiteral(STATWRIGHT_CLI), arguments);
            process.write(input);
            process.closeWriteChannel();
            process.waitForFinished();
            return std::pair{process.exitCode(), process.readAllStandardOutput()};
        };
        const QByteArray header = m_table.left(m_table.indexOf('\n') + 1);
        QCOMPARE(cli({"export", m_image, "-o", "-"}).second, m_table);
        QCOMPARE(cli({"export", m_image, "-o", "/dev/stdout"}).second, m_table);

        QList<QByteArray> lines = m_table.split('\n');
        QList<QByteArray> cells = lines[1].split(',');
        cells[2] = cells[2] == "1" ? "2" : "1";
        lines[1] = cells.join(',');
        const auto imported = cli({"import", m_image, "-"}, lines.join('\n'));
        QCOMPARE(imported.first, 0);
        QVERIFY(imported.second.startsWith("Bulbasaur: hp "));
        const QByteArray json = cli({"export", m_image, "-f", "json"}).second;
        QCOMPARE(cli({"import", m_image, "-", "--format", "json"}, json).second,
                 QByteArray("no changes; nothing written\n"));

        const QString fifo = m_roms->folder() + "/out.fifo";
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QProcess reader;
        reader.start("cat", {fifo});
        QVERIFY(reader.waitForStarted());
        QCOMPARE(runCli({"export", m_image, "-o", fifo}).status, 0);
        QVERIFY(reader.waitForFinished());
        QCOMPARE(reader.readAllStandardOutput().left(header.size()), header);
        QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
        QCOMPARE(QDir(m_roms->folder()).entryList(QDir::Hidden | QDir::Files).filter("fifo").size(),
                 0);
    }

    // Output that does not all arrive is a failure: every command that prints checks its
    // standard output before it exits, and an import whose changes cannot be shown writes none.
    void standardOutputFailures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("redirection");
        QTest::addColumn<QString>("reason");
        const QString full = "> /dev/full";
        const QString closed = ">&-";
        const QString noSpace = "No space left on device";
        QTest::newRow("export") << QStringList{"export", "IMAGE"} << full << noSpace;
        QTest::newRow("export -f json")
            << QStringList{"export", "IMAGE", "-f", "json"} << full << noSpace;
        QTest::newRow("export -o -")
            << QStringList{"export", "IMAGE", "-o", "-"} << full << noSpace;
        QTest::newRow("identify") << QStringList{"identify", "IMAGE"} << full << noSpace;
        QTest::newRow("check") << QStringList{"check", "IMAGE"} << full << noSpace;
        QTest::newRow("diff") << QStringList{"diff", "IMAGE", "IMAGE"} << full << noSpace;
        QTest::newRow("help") << QStringList{"help"} << full << noSpace;
        QTest::newRow("--help") << QStringList{"export", "--help"} << full << noSpace;
        QTest::newRow("import") << QStringList{"import", "IMAGE", "TABLE"} << full << noSpace;
        QTest::newRow("export, closed")
            << QStringList{"export", "IMAGE"} << closed << "Bad file descriptor";
    }
    void standardOutputFailures() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, redirection);
        QFETCH(QString, reason);
        QList<QByteArray> lines = m_table.split('\n');
        QList<QByteArray> cells = lines[1].split(',');
        cells[2] = cells[2] == "1" ? "2" : "1";
        lines[1] = cells.join(',');
        writeFile(m_csv, lines.join('\n'));
        arguments.replaceInStrings("IMAGE", m_image).replaceInStrings("TABLE", m_csv);
        const QByteArray before = SyntheticRom::sha256(m_image);
        QProcess process;
        process.start("sh", QStringList{"-c", "exec \"$0\" \"$@\" " + redirection,
                                        QStringLiteral(STATWRIGHT_CLI)} +
                                arguments);
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 3);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(
            err.endsWith("statwright-cli: Could not write to standard output: " + reason + "\n"),
            qPrintable(err));
        QCOMPARE(SyntheticRom::sha256(m_image), before);
    }

    // -o never replaces what a shell's redirection would not write into: a read-only file, or
    // (for anyone but root) another user's file, whose owner a replacement could not keep.
    void replacingOnlyWhatTheCallerMayWrite_data() {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("says");
        QTest::newRow("read-only target")
            << "read-only" << QString("Could not replace \"%1\": Permission denied.");
        QTest::newRow("another user's target")
            << "foreign"
            << QString("Could not replace \"%1\": it belongs to another user, and a "
                       "file put in its place would be yours. To write into it in "
                       "place, as its owner would have it, give -o - and a shell "
                       "redirection into it.");
    }
    void replacingOnlyWhatTheCallerMayWrite() {
        QFETCH(QString, refusal);
        QFETCH(QString, says);
        const QString target = m_roms->folder() + "/target.csv";
        writeFile(target, "old");
        FaultInjectingIo io;
        if (refusal == "read-only")
            io.failCall(Call::CheckWritable, EACCES);
        else
            io.pretendUser(::geteuid() + 1);
        const CliOutcome result = runCli({"export", m_image, "-o", target}, io);
        QCOMPARE(result.status, 3);
        QCOMPARE(result.err, "statwright-cli: " + says.arg(target) + "\n");
        QCOMPARE(io.count(Call::CreateUnique), 0);
        QCOMPARE(readFile(target), QByteArray("old"));
    }

    // Run as root, a replacement keeps the owner, group and mode of another user's file.
    void rootKeepsTheOwnerOfAReplacedFile() {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        const QString target = m_roms->folder() + "/theirs.csv";
        writeFile(target, "old");
        const QByteArray name = QFile::encodeName(target);
        QVERIFY(::chown(name.constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(name.constData(), 0640) == 0);
        QCOMPARE(runCli({"export", m_image, "-o", target}).status, 0);
        struct stat info {};
        QVERIFY(::stat(name.constData(), &info) == 0);
        QCOMPARE(info.st_uid, uid_t(65534));
        QCOMPARE(info.st_gid, gid_t(65534));
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(readFile(target), m_table);
    }

    // A write stopped by the file-size limit (SIGXFSZ) leaves no temporary file behind, and
    // the process still ends by that signal.
    void stoppedWriteLeavesNoTemporaryFile() {
        const QString target = m_roms->folder() + "/limited.csv";
        QProcess process;
        process.start("bash", {"-c", "ulimit -f 8; exec \"$0\" \"$@\"",
                               QStringLiteral(STATWRIGHT_CLI), "export", m_image, "-o", target});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(
            QDir(m_roms->folder()).entryList(QDir::Hidden | QDir::Files).filter("limited").size(),
            0);
    }

    void demoImage() {
        const QString demo = m_roms->folder() + "/demo.nds";
        QCOMPARE(runCli({"sample", demo}).status, 0);
        const CliOutcome checked = runCli({"check", demo});
        QCOMPARE(checked.status, 0);
        QVERIFY(checked.out.contains(
            "confirmed: ADAE reads its base-stat table from /poketool/personal/personal.narc"));
        const CliOutcome again = runCli({"sample", demo});
        QCOMPARE(again.status, 3);
        QVERIFY(again.err.contains("File exists"));

        const QString platinum = m_roms->folder() + "/platinum.nds";
        QCOMPARE(runCli({"sample", platinum, "--code", "CPUJ"}).status, 0);
        QCOMPARE(runCli({"export", platinum}).out.count('\n'), 508);
    }
    void usage() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const CliOutcome result = runCli(arguments);
        QCOMPARE(result.status, status);
        QVERIFY(status == 0 ? result.out.startsWith("Usage: statwright-cli")
                            : !result.err.isEmpty());
    }

    // What a new user gets wrong first, and what the command says: which file goes where,
    // which command reads a file, which format a file is, which command was meant; codes and
    // endings in any case.
    void guidesTheNewUser_data() {
        QTest::addColumn<QStringList>("arguments"); // <image>, <table>... stand for the files
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("the table where the image goes")
            << QStringList{"import", "<table>", "<image>"} << 2
            << "\"<table>\" is not a DS ROM image: it has no game code, and <image> is one: the "
               "image comes first (statwright-cli import IMAGE TABLE)";
        QTest::newRow("a table is no image") << QStringList{"identify", "<table>"} << 1
                                             << "\"<table>\" is not a DS ROM image: it has no "
                                                "game code";
        QTest::newRow("a patch given to import")
            << QStringList{"import", "<image>", "<patch>"} << 2
            << "<patch> is a patch, which apply reads: statwright-cli apply IMAGE PATCH";
        QTest::newRow("a table given to apply")
            << QStringList{"apply", "<image>", "<table>"} << 2
            << "<table> is a table, which import reads: statwright-cli import IMAGE TABLE";
        QTest::newRow("--format json on CSV")
            << QStringList{"import", "<image>", "<table>", "-f", "json"} << 2
            << "<table> does not look like JSON, as --format says, but like CSV: give --format csv";
        QTest::newRow("--format csv on JSON")
            << QStringList{"import", "<image>", "<json>", "-f", "CSV"} << 2
            << "<json> does not look like CSV, as --format says, but like JSON";
        QTest::newRow("a change log is no patch")
            << QStringList{"diff", "<image>", "<image>", "--patch", "-f", "markdown"} << 2
            << "--format markdown is a change log, which --patch does not write";
        QTest::newRow("a change log, to a file")
            << QStringList{"diff", "<image>", "<image>", "-f", "text", "-o", "<out>"} << 0 << "";
        QTest::newRow("csv is for patches")
            << QStringList{"diff", "<image>", "<image>", "-f", "csv"} << 2
            << "--format csv or json, and --output, go with --patch";
        QTest::newRow("a mistyped command") << QStringList{"exprot", "<image>"} << 2
                                            << "unknown command 'exprot'; did you mean 'export'?";
        QTest::newRow("a game code in lower case")
            << QStringList{"sample", "<out>", "-c", "cpue"} << 0 << "an image coded CPUE";
        QTest::newRow("an ending in capitals")
            << QStringList{"export", "<image>", "-o", "<out>.JSON"} << 0 << "";
    }
    void guidesTheNewUser() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        const QString folder = m_roms->folder();
        const QString json = folder + "/table.json";
        const QString patch = folder + "/patch.csv";
        QCOMPARE(runCli({"export", m_image, "-f", "json", "-o", json}).status, 0);
        QCOMPARE(runCli({"diff", m_image, m_image, "--patch", "-o", patch}).status, 0);
        const std::map<QString, QString> names{{"<image>", m_image},
                                               {"<table>", m_csv},
                                               {"<json>", json},
                                               {"<patch>", patch},
                                               {"<out>", folder + "/out"}};
        for (QString& argument : arguments)
            for (const auto& [stand, name] : names)
                argument.replace(stand, name);
        for (const auto& [stand, name] : names)
            says.replace(stand, name);
        const CliOutcome result = runCli(arguments);
        QCOMPARE(result.status, status);
        QVERIFY2((result.out + result.err).contains(says), qPrintable(result.out + result.err));
        if (arguments.last().endsWith(".JSON"))
            QVERIFY(readFile(arguments.last()).startsWith('{'));
        if (arguments.contains("text"))
            QVERIFY(readFile(arguments.last()).endsWith("\nNo differences.\n"));
    }

    void exportsEveryEntryAsCsv() {
        const QList<QByteArray> lines = m_table.split('\n');
        QCOMPARE(lines.size(), 502); // header, 500 rows, and the empty piece after the last end
        QCOMPARE(lines[0], QByteArray("position,species,hp,attack,defense,speed,sp_attack,"
                                      "sp_defense,type1,type2,catch_rate,base_xp,item1,item2,"
                                      "gender,hatch,base_happiness,max_exp,egg_type1,egg_type2,"
                                      "ability1,ability2,run_chance,colour,ev_hp,ev_attack,"
                                      "ev_defense,ev_speed,ev_sp_attack,ev_sp_defense,flip,"
                                      "tm_hm"));
        const QByteArray record =
            SyntheticRom::read(m_image, SyntheticRom::recordOffset("ADAE", 202), 44);
        const QList<QByteArray> row = lines[203].split(',');
        QCOMPARE(row.size(), 32);
        QCOMPARE(row[0], QByteArray("202"));
        QCOMPARE(row[1], QByteArray("Girafarig")); // without its trailing space
        QCOMPARE(row[2].toInt(), int(quint8(record[0])));
        QCOMPARE(row[12].toInt(), int(quint8(record[12]) | (quint8(record[13]) << 8)));
        QCOMPARE(row[23].toInt(), int(quint8(record[25]) & 0x7F)); // the colour, bits 0 to 6
        QCOMPARE(row[30].toInt(), int(quint8(record[25]) >> 7));   // the sprite flag, bit 7
        const int evWord = quint8(record[10]) | (quint8(record[11]) << 8);
        QCOMPARE(row[27].toInt(), (evWord >> 6) & 3); // the EV yield of Speed
        QStringList flags;
        for (int n = 0; n < 100; ++n)
            if (quint8(record[28 + n / 8]) & (1 << (n % 8)))
                flags << QString::asprintf(n < 92 ? "TM%02d" : "HM%02d", n < 92 ? n + 1 : n - 91);
        QCOMPARE(QString::fromLatin1(row[31]), flags.join(' '));
        QCOMPARE(lines[83].split(',')[1], QByteArray("Farfetch'd"));
    }

    void exportsJsonWithListTexts() {
        const CliOutcome result = runCli({"export", m_image, "--format", "json"});
        QCOMPARE(result.status, 0);
        const QJsonObject root = QJsonDocument::fromJson(result.out.toUtf8()).object();
        QCOMPARE(root["game_code"].toString(), QStringLiteral("ADAE"));
        QCOMPARE(root["game"].toString(), QStringLiteral("Pokémon Diamond"));
        const QJsonArray entries = root["entries"].toArray();
        QCOMPARE(entries.size(), 500);
        const QJsonObject first = entries[0].toObject();
        QCOMPARE(first["species"].toString(), QStringLiteral("Bulbasaur"));
        QCOMPARE(first.contains("type1_text"), first["type1"].toInt() < 18);
        QVERIFY(!first.contains("hp_text"));
        QVERIFY(first.contains("gender_text")); // every gender byte has its entry
        // The members in the order of the record, each list text after its number.
        QStringList keys;
        const QString entry = result.out.section("{", 2, 2).section("}", 0, 0);
        for (const QString& line : entry.split('\n', Qt::SkipEmptyParts))
            if (line.contains(':'))
                keys << line.trimmed().section('"', 1, 1);
        QCOMPARE(keys.mid(0, 6),
                 QStringList({"position", "species", "hp", "attack", "defense", "speed"}));
        QCOMPARE(keys.indexOf("item1_text") - keys.indexOf("item1"),
                 first.contains("item1_text") ? 1 : -keys.indexOf("item1") - 1);
        QCOMPARE(keys.mid(keys.indexOf("ev_hp")),
                 QStringList({"ev_hp", "ev_attack", "ev_defense", "ev_speed", "ev_sp_attack",
                              "ev_sp_defense", "flip", "tm_hm", "tm_hm_text"}));
    }

    // An export imports again as a no-op, for every edition and both formats.
    void exportThenImportChangesNothing_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("extension");
        for (const nds::GameEdition& edition : nds::fixedBaseEditions())
            for (const char* extension : {"csv", "json"})
                QTest::addRow("%s %s", edition.code.data(), extension)
                    << QByteArray(edition.code.data(), 4) << QString::fromLatin1(extension);
    }
    void exportThenImportChangesNothing() {
        QFETCH(QByteArray, code);
        QFETCH(QString, extension);
        const QString image = m_roms->createFor(code, "edition.nds");
        SyntheticRom::fillRecords(image, code, qHash(code));
        const QString table = m_roms->folder() + "/edition." + extension;
        QCOMPARE(runCli({"export", image, "-o", table}).status, 0);
        FaultInjectingIo io;
        const CliOutcome result = runCli({"import", image, table}, io);
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("no changes; nothing written\n"));
        QCOMPARE(io.count(Call::Pwrite), 0); // nothing written
    }

    void importWritesOnlyTheChangedEntries() {
        QByteArray table = m_table;
        QList<QByteArray> lines = table.split('\n');
        QList<QByteArray> bulbasaur = lines[1].split(',');
        bulbasaur[2] = "99";   // hp
        bulbasaur[12] = "300"; // item1
        lines[1] = bulbasaur.join(',');
        QList<QByteArray> last = lines[500].split(',');
        last[3] = "7"; // attack of Wormadam (Trash)
        lines[500] = last.join(',');
        writeFile(m_csv, lines.join('\n'));
        const QByteArray untouched =
            SyntheticRom::read(m_image, SyntheticRom::recordOffset("ADAE", 1), 44);

        FaultInjectingIo io;
        const CliOutcome dry = runCli({"import", m_image, m_csv, "--dry-run"}, io);
        QCOMPARE(dry.status, 0);
        QCOMPARE(io.count(Call::OpenForWriting), 0);
        QVERIFY(dry.out.contains("dry run"));
        io.reset();

        const CliOutcome result = runCli({"import", m_image, m_csv}, io);
        QCOMPARE(result.status, 0);
        const QStringList said = result.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(said.size(), 4);
        QVERIFY(said[0].startsWith("Bulbasaur: hp ") && said[0].endsWith(" -> 99"));
        QVERIFY(said[1].startsWith("Bulbasaur: item1 ") && said[1].endsWith(" -> Zap Plate"));
        QVERIFY(said[2].startsWith("Wormadam (Trash): attack ") && said[2].endsWith(" -> 7"));
        QCOMPARE(said[3], QStringLiteral("3 changes in 2 entries written"));
        // One open of the image for reading and writing, one write per run of neighbouring
        // entries changed, and four flushes: the journal, its folder, the image and the folder
        // once the journal is gone.
        const std::string image = m_image.toStdString();
        QCOMPARE(io.opensOf(image), 1);
        QCOMPARE(io.writesInto(image).size(), std::size_t(2));
        QCOMPARE(io.flushes(), 4);
        QVERIFY(!QFile::exists(m_image + ".statwright-journal"));
        const QByteArray first =
            SyntheticRom::read(m_image, SyntheticRom::recordOffset("ADAE", 0), 44);
        QCOMPARE(first[0], char(99));
        QCOMPARE(first.mid(12, 2), QByteArray("\x2C\x01", 2));
        QCOMPARE(SyntheticRom::read(m_image, SyntheticRom::recordOffset("ADAE", 1), 44), untouched);
        QCOMPARE(SyntheticRom::read(m_image, SyntheticRom::recordOffset("ADAE", 499) + 1, 1)[0],
                 char(7));
    }

    // Spreadsheet accidents are caught before anything is written, each named by line and column.
    // The rules for values are the table readers' own (tst_tables); here, what the command makes
    // of a CSV file's problems: each named by its line and column, and nothing written.
    void rejectsBadTables_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("message");
        QTest::newRow("short row") << "row:5:drop-last"
                                   << ":5: the row has 31 fields, the header 32";
        QTest::newRow("extra column") << "row:6:append"
                                      << ":6: the row has 33 fields, the header 32";
        QTest::newRow("bad number") << "cell:7:2:4x"
                                    << ":7: hp: \"4x\" is not a whole number";
        QTest::newRow("an old table's colour beyond its list")
            << "old:61:23:139"
            << ":61: colour: 139 is no colour: without a flip column, colour is 0 to 10, or 128 "
               "to 138 with the sprite flag";
        QTest::newRow("unknown column") << "header:hp:health"
                                        << ":1: health: unknown column";
        QTest::newRow("unclosed quote") << "cell:13:1:\"Caterpie"
                                        << ": a quoted field is never closed";
        // What a cell holds is quoted back escaped, and cut: no terminal control, no flood.
        QTest::newRow("escape sequence in a cell")
            << "cell:7:2:\x1B[31mred"
            << ":7: hp: \"\\x1B[31mred\" is not a whole number";
        QTest::newRow("line break in a quoted cell") << "cell:7:2:\"a\nb\""
                                                     << ":7: hp: \"a\\x0Ab\" is not a whole number";
        QTest::newRow("cell of 10,000 characters")
            << "cell:7:2:" + QString(10000, 'a')
            << ":7: hp: \"" + QString(40, 'a') + "...\" is not a whole number";
    }
    void rejectsBadTables() {
        QFETCH(QString, edit);
        QFETCH(QString, message);
        writeFile(m_csv, edited(m_table, edit));
        FaultInjectingIo io;
        const CliOutcome result = runCli({"import", m_image, m_csv}, io);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.err.contains("nothing was written"));
        QCOMPARE(io.count(Call::Pwrite), 0); // nothing written
    }

    // However large or strange the input, it is refused at once, with at most twenty problems
    // shown and the rest counted. (Its time and memory are measured in docs/performance.md.)
    void largeBadInputs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("JSON nested 40,000 deep")
            << "nested.json" << QByteArray(40000, '[')
            << "the values nest more than 6 levels deep, deeper than any table";
        QTest::newRow("100 short rows") << "short.csv" << QByteArray() << "short.csv: and 80 more";
        QTest::newRow("30,000 short rows")
            << "many.csv" << QByteArray() << "the table has more than 1000 rows";
        QTest::newRow("a row of a million fields")
            << "wide.csv" << QByteArray() << ":2: the row has 1000000 fields, the header 32";
    }
    void largeBadInputs() {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QString, says);
        const QByteArray header = m_table.left(m_table.indexOf('\n') + 1);
        if (name == "short.csv")
            text = header + QByteArray("x\n").repeated(100);
        else if (name == "many.csv")
            text = header + QByteArray("x\n").repeated(30000);
        else if (name == "wide.csv")
            text = header + QByteArray("0,").repeated(999999) + "0\n";
        const QString path = m_roms->folder() + "/" + name;
        writeFile(path, text);
        const CliOutcome result = runCli({"import", m_image, path});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(says), qPrintable(result.err.left(2000)));
        QVERIFY(result.err.count('\n') <= 22);
        if (name == "short.csv")
            QVERIFY(result.err.endsWith("100 problems in " + path + "; nothing was written\n"));
    }

    // The whole record through a table: an edited ev_speed or tm_hm cell changes exactly the
    // bits it names; a table written before those columns existed (with the whole byte 25 as
    // the colour) changes nothing of bytes 10 and 11, the sprite flag or bytes 26 to 43.
    void wholeRecord_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("said"); // what the change line starts with
        QTest::newRow("EV yield of Speed") << "ev_speed"
                                           << "ev_speed 0 -> 2";
        QTest::newRow("TM06 and HM04") << "tm_hm"
                                       << "tm_hm +TM06 +HM04";
        QTest::newRow("an old table") << "old"
                                      << "hp ";
        QTest::newRow("an old table's colour with the flag") << "old colour"
                                                             << "colour Blue -> Green";
    }
    void wholeRecord() {
        QFETCH(QString, edit);
        QFETCH(QString, said);
        const qint64 record = SyntheticRom::recordOffset("ADAE", 3);
        // Charmander: no EV yield, the flag set and blue, no TM or HM, kept bits all set.
        QByteArray bytes = SyntheticRom::read(m_image, record, 44);
        bytes[10] = '\x00';
        bytes[11] = '\xF0';
        bytes[25] = '\x81';
        bytes.replace(26, 2, "\xAA\xBB");
        bytes.replace(28, 16, QByteArray(12, '\0') + "\xF0\xFF\xFF\xFF");
        SyntheticRom::write(m_image, record, bytes);
        QCOMPARE(runCli({"export", m_image, "-o", m_csv}).status, 0);
        QList<QByteArray> lines = readFile(m_csv).split('\n');
        QList<QByteArray> cells = lines[4].split(',');
        QByteArray expected = bytes;
        if (edit == "ev_speed") {
            cells[27] = "2";
            expected[10] = '\x80';
        } else if (edit == "tm_hm") {
            cells[31] = "TM06 HM04";
            expected[28] = '\x20';
            expected[39] = '\x80';
        } else {
            // As tables were exported before: 24 columns, the whole byte 25 as the colour.
            for (QByteArray& line : lines)
                line = line.split(',').mid(0, 24).join(',');
            cells = lines[4].split(',');
            if (edit == "old") {
                cells[2] = QByteArray::number(quint8(bytes[0]) ^ 1);
                cells[23] = "129";
                expected[0] = char(quint8(bytes[0]) ^ 1);
            } else {
                cells[23] = "131"; // green, with the flag as it was
                expected[25] = '\x83';
            }
        }
        lines[4] = cells.join(',');
        writeFile(m_csv, lines.join('\n'));
        const CliOutcome result = runCli({"import", m_image, m_csv});
        QCOMPARE(result.status, 0);
        QVERIFY2(result.out.startsWith("Charmander: " + said), qPrintable(result.out));
        QCOMPARE(result.out.count('\n'), 2); // the change and the summary
        QCOMPARE(SyntheticRom::read(m_image, record, 44).toHex(), expected.toHex());
    }

    // Values the window may keep unchanged are accepted unchanged; spreadsheets' own habits
    // (a byte-order mark, CRLF, quoted fields, spaces) are read as they mean.
    void acceptsWhatTheWindowWould() {
        const qint64 offset = SyntheticRom::recordOffset("ADAE", 20);
        SyntheticRom::write(m_image, offset + 6, "\x40"); // type1 64, beyond its list
        QCOMPARE(runCli({"export", m_image, "-o", m_csv}).status, 0);
        QByteArray table = readFile(m_csv);
        table.replace("\n", "\r\n");
        table.replace("20,Spearow,", "20,\"Spearow\",");
        table.replace("\r\n21,Fearow,", "\r\n 21 ,Fearow,");
        writeFile(m_csv, "\xEF\xBB\xBF" + table);
        const CliOutcome result = runCli({"import", m_image, m_csv});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("no changes; nothing written\n"));
    }

    // JSON problems name the entry and the member; only whole numbers and valid UTF-8 pass.
    void rejectsBadJson_data() {
        QTest::addColumn<QString>("pattern"); // its first match is replaced
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<QString>("message");
        QTest::newRow("syntax") << "\"hp\": " << QByteArray("\"hp\" ")
                                << "table.json:9: syntax error while parsing object separator";
        QTest::newRow("text edited alone")
            << "\"type1_text\": \"" << QByteArray("\"type1_text\": \"x")
            << "entries[0].type1_text: says \"x";
        QTest::newRow("unknown member") << "\"hp\": " << QByteArray("\"health\": 1, \"hp\": ")
                                        << "entries[0].health: unknown member";
        QTest::newRow("member twice") << "\"hp\": " << QByteArray("\"hp\": 3, \"hp\": ")
                                      << "entries[0].hp: the member appears twice";
        QTest::newRow("string for a number")
            << "(?<=\"attack\": )\\d+" << QByteArray("\"1\"")
            << "entries[0].attack: must be a number, not the string \"1\"";
        QTest::newRow("fraction") << "(?<=\"speed\": )\\d+" << QByteArray("1.5")
                                  << "entries[0].speed: 1.5 is not a whole number";
        QTest::newRow("exponent") << "(?<=\"speed\": )\\d+" << QByteArray("1e2")
                                  << "entries[0].speed: 1e2 is not a whole number";
        QTest::newRow("tm_hm of numbers")
            << "\"tm_hm\": \\[[^\\]]*\\]" << QByteArray("\"tm_hm\": [6, 92]")
            << "entries[0].tm_hm: must be an array of TM and HM names, such as [\"TM01\", "
               "\"HM04\"]";
        QTest::newRow("tm_hm as a text")
            << "\"tm_hm\": \\[[^\\]]*\\]" << QByteArray("\"tm_hm\": \"TM01 TM06\"")
            << "entries[0].tm_hm: must be an array of TM and HM names";
        QTest::newRow("invalid UTF-8") << "Bulbasaur"
                                       << QByteArray("Bulb\xC3"
                                                     "saur")
                                       << "ill-formed UTF-8 byte";
    }
    void rejectsBadJson() {
        QFETCH(QString, pattern);
        QFETCH(QByteArray, replacement);
        QFETCH(QString, message);
        const QString path = m_roms->folder() + "/table.json";
        QCOMPARE(runCli({"export", m_image, "-o", path}).status, 0);
        QByteArray text = readFile(path);
        const QRegularExpressionMatch match =
            QRegularExpression(pattern).match(QString::fromUtf8(text));
        QVERIFY(match.hasMatch());
        const qsizetype at = QString::fromUtf8(text).left(match.capturedStart()).toUtf8().size();
        text.replace(at, match.captured().toUtf8().size(), replacement);
        writeFile(path, text);
        const CliOutcome result = runCli({"import", m_image, path});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
    }

    // A write that fails part-way through an import leaves the image as it was: the failing
    // entry is never half written, and the entries before it are put back.
    void failedImportPutsBackWhatItWrote_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("putBack"); // whether anything was written before the failure
        QTest::newRow("open for writing refused") << "open" << EACCES << false;
        QTest::newRow("open for writing, read-only media") << "open" << EROFS << false;
        QTest::newRow("journal refused: read-only folder") << "journal" << EACCES << false;
        QTest::newRow("journal's flush fails") << "journal flush" << EIO << false;
        QTest::newRow("third write fails") << "write" << EIO << true;
        QTest::newRow("third entry stops part-way") << "bytes" << EIO << true;
        QTest::newRow("disk full part-way") << "bytes" << ENOSPC << true;
        QTest::newRow("flush fails") << "flush" << EIO << true;
    }
    void failedImportPutsBackWhatItWrote() {
        QFETCH(QString, how);
        QFETCH(int, error);
        QFETCH(bool, putBack);
        QList<QByteArray> lines = m_table.split('\n');
        for (int row : {1, 3, 5, 7}) { // four entries apart: four writes of four bytes
            QList<QByteArray> cells = lines[row].split(',');
            cells[2] = cells[2] == "1" ? "2" : "1"; // hp
            cells[5] = cells[5] == "1" ? "2" : "1"; // speed
            lines[row] = cells.join(',');
        }
        writeFile(m_csv, lines.join('\n'));
        const QByteArray before = SyntheticRom::fingerprint(m_image, "ADAE");
        FaultInjectingIo io;
        const std::string image = m_image.toStdString();
        const std::string journal = image + ".statwright-journal";
        // The journal is made, written and flushed before the image is opened for writing.
        if (how == "open")
            io.failCall(Call::OpenForWriting, error, 1);
        else if (how == "journal")
            io.failCall(Call::OpenForWriting, error, 2);
        else if (how == "journal flush")
            io.failCall(Call::Fsync, error, 1);
        else if (how == "write")
            io.failCall(Call::Pwrite, error, 1 + 3);
        else if (how == "bytes")
            io.failWritesAfter(4 * 2 + 2, error, image);
        else
            io.failCall(Call::Fsync, error, 2);
        const CliOutcome result = runCli({"import", m_image, m_csv}, io);
        QCOMPARE(result.status, 3);
        QVERIFY2(result.err.contains(QString::fromLocal8Bit(std::strerror(error))),
                 qPrintable(result.err));
        QCOMPARE(result.err.contains("were put back"), putBack);
        QCOMPARE(result.err.contains("nothing was written"), how.startsWith("journal"));
        QVERIFY(!result.out.contains("written"));
        QCOMPARE(SyntheticRom::fingerprint(m_image, "ADAE"), before);
        QVERIFY(!QFile::exists(QString::fromStdString(journal)));
        const qint64 table = SyntheticRom::recordBase("ADAE");
        for (const FaultInjectingIo::Span& span : io.writesInto(image))
            QVERIFY(span.offset >= table && span.offset + span.count <= table + 500 * 44);
    }

    void diff() {
        const QString other = m_roms->createFor("APAE", "pearl.nds");
        SyntheticRom::write(
            other, SyntheticRom::recordBase("APAE"),
            SyntheticRom::read(m_image, SyntheticRom::recordBase("ADAE"), 500 * 44));
        const CliOutcome same = runCli({"diff", m_image, other});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.out, QStringLiteral("no differences\n"));
        SyntheticRom::write(other, SyntheticRom::recordOffset("APAE", 3) + 1, "\x05");
        SyntheticRom::write(other, SyntheticRom::recordOffset("APAE", 3) + 14, "\x01\x01");
        const CliOutcome changed = runCli({"diff", m_image, other});
        QCOMPARE(changed.status, 0);
        const QStringList lines = changed.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("Charmander: attack ") && lines[0].endsWith(" -> 5"));
        QVERIFY(lines[1].startsWith("Charmander: item2 ") && lines[1].endsWith(" -> 257"));
        QCOMPARE(lines[2], QStringLiteral("2 fields differ in 1 entry"));
    }

    // check validates the archive the game reads, and says where the fixed base lies.
    void check_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("layout"); // "none", "table", "decoy", "missing"
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("no file system") << QByteArray("ADAE") << "none" << 0
                                        << QStringList{"unverifiable", "fixed base 0x1C15A08"};
        QTest::newRow("table at the fixed base")
            << QByteArray("ADAE") << "table" << 0
            << QStringList{"table: /poketool/personal/personal.narc (file 1), a NARC archive of "
                           "501 members",
                           "table found through the file system at 0x1C15A08; it is also the "
                           "fixed place of ADAE (0x1C15A08), in /poketool/personal/personal.narc "
                           "(file 1)",
                           "confirmed"};
        QTest::newRow("Platinum, fixed base in the stale copy")
            << QByteArray("CPUJ") << "decoy" << 0
            << QStringList{"table: /poketool/personal/pl_personal.narc (file 2), a NARC archive "
                           "of 508 members",
                           "members 1 to 507",
                           "the fixed place of CPUJ (0x37F3C08) lies in "
                           "/poketool/personal/personal.narc (file 1), which the game does not "
                           "read, and is not used"};
        QTest::newRow("Platinum of another region")
            << QByteArray("CPUE") << "table" << 0
            << QStringList{"pl_personal.narc", "; CPUE has no fixed place"};
        QTest::newRow("archive missing")
            << QByteArray("APAE") << "missing" << 1
            << QStringList{"/poketool/personal_pearl/personal.narc is not in the image's file "
                           "system",
                           "the fixed place of APAE (0x1C15A08) lies in "
                           "/poketool/personal/growtbl.narc"};
        QTest::newRow("HeartGold without its table")
            << QByteArray("IPKE") << "missing" << 1
            << QStringList{"Could not find the base-stat table of HeartGold (IPKE) in",
                           "/a/0/0/2 is not in the image's file system"};
        QTest::newRow("another region without a file system")
            << QByteArray("CPUD") << "none" << 1
            << QStringList{"Could not find the base-stat table of Platinum (CPUD) in"};
    }
    void check() {
        QFETCH(QByteArray, code);
        QFETCH(QString, layout);
        QFETCH(int, status);
        QFETCH(QStringList, says);
        const QString image = m_roms->create("check.nds", code, 0x4000000);
        SyntheticFileSystem system = SyntheticFileSystem::forGame(
            code, layout == "table" ? SyntheticFileSystem::Layout::TableAtFixedBase
                                    : SyntheticFileSystem::Layout::DecoyAtFixedBase);
        if (layout == "missing")
            system.remove(system.tableArchive);
        if (layout != "none")
            system.writeInto(image);
        const CliOutcome result = runCli({"check", image});
        QCOMPARE(result.status, status);
        for (const QString& text : says)
            QVERIFY2((result.out + result.err).contains(text), qPrintable(result.out + result.err));
        // Every code here is a known one, table or not; and a healthy image raises no alarm.
        QVERIFY(!result.err.contains("unsupported"));
        QVERIFY(status != 0 || !result.out.contains("in no file"));
    }

    // A damaged file system is never read past: not at the fixed base (where another file
    // lies), not into bytes that another file shares. Every command says why and writes nothing.
    void damagedFileSystem_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("allocation table of size 0")
            << "header"
            << "the header gives the file allocation table a size of 0";
        QTest::newRow("allocation table past the end")
            << "past"
            << "the file allocation table (bytes 0x4000 to 0x100003FF8) reaches past";
        QTest::newRow("name table past the end") << "names"
                                                 << "the file name table (bytes 0xFFFFFFF0 to ";
        QTest::newRow("another file over the records")
            << "overlap"
            << "/poketool/personal/personal.narc shares bytes ";
    }
    void damagedFileSystem() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const QString image = m_roms->createFor("ADAE", "damaged.nds");
        SyntheticFileSystem system =
            SyntheticFileSystem::forGame("ADAE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        if (damage == "overlap")
            system.add("/b/victim.bin", QByteArray(0x1000, 'v'),
                       system.recordBaseOf(system.tableArchive) + 0x100);
        else
            system.add("/b/victim.bin", QByteArray(500 * 44, 'v'),
                       SyntheticRom::recordBase("ADAE"));
        system.remove(system.decoyArchive);
        system.writeInto(image);
        if (damage == "header")
            SyntheticRom::write(image, 0x4C, QByteArray(4, '\0'));
        else if (damage == "past")
            SyntheticRom::write(image, 0x4C, QByteArray("\xF8\xFF\xFF\xFF", 4));
        else if (damage == "names")
            SyntheticRom::write(image, 0x40, QByteArray("\xF0\xFF\xFF\xFF", 4));
        const QByteArray before = SyntheticRom::sha256(image);

        FaultInjectingIo io;
        for (const QStringList& arguments :
             {QStringList{"export", image}, QStringList{"import", image, m_csv},
              QStringList{"check", image}, QStringList{"identify", image}}) {
            const CliOutcome result = runCli(arguments, io);
            QCOMPARE(result.status, 1);
            QVERIFY2(result.err.contains("its file system is damaged: " + reason),
                     qPrintable(result.err));
            QVERIFY(!result.out.contains("v,v") && !result.out.contains("confirmed"));
        }
        QCOMPARE(io.count(Call::Pwrite), 0); // nothing written
        QCOMPARE(SyntheticRom::sha256(image), before);
    }

    // On a rebuilt Platinum image, export, import and diff work on the archive the game reads,
    // with the seven extra forms, and import writes nowhere else.
    void platinumArchive() {
        const QString image = m_roms->create("platinum.nds", "CPUE", 0x200000);
        const SyntheticFileSystem system =
            SyntheticFileSystem::forGame("CPUE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        system.writeInto(image);
        const qint64 base = system.recordBaseOf(system.tableArchive);

        const CliOutcome identified = runCli({"identify", image});
        QCOMPARE(identified.status, 0);
        QVERIFY(
            identified.out.startsWith("code: CPUE\ntitle: Pokémon Platinum\nlanguage: English\n"));
        QVERIFY(identified.out.contains("table: /poketool/personal/pl_personal.narc at 0x"));

        QCOMPARE(runCli({"export", image, "-o", m_csv}).status, 0);
        QList<QByteArray> lines = readFile(m_csv).split('\n');
        QCOMPARE(lines.size(), 509);
        QVERIFY(lines[501].startsWith("500,Giratina (Origin),"));
        QVERIFY(lines[507].startsWith("506,Rotom (Mow),"));
        QCOMPARE(lines[1].split(',')[2].toInt(),
                 int(quint8(SyntheticRom::read(image, base, 1)[0])));

        QList<QByteArray> mow = lines[507].split(',');
        const QByteArray hp = mow[2];
        mow[2] = hp == "1" ? "2" : "1";
        lines[507] = mow.join(',');
        writeFile(m_csv, lines.join('\n'));
        const QString before = m_roms->folder() + "/before.nds";
        QVERIFY(QFile::copy(image, before));
        FaultInjectingIo io;
        const CliOutcome imported = runCli({"import", image, m_csv}, io);
        QCOMPARE(imported.status, 0);
        QVERIFY(imported.out.startsWith("Rotom (Mow): hp "));
        // The byte of the field changed.
        QCOMPARE(io.writesInto(image.toStdString()),
                 (std::vector<FaultInjectingIo::Span>{{base + 506 * 44, 1}}));
        QCOMPARE(SyntheticRom::read(image, base + 506 * 44, 1), mow[2] == "1" ? "\x01" : "\x02");
        QCOMPARE(runCli({"diff", before, image}).out.split('\n')[0],
                 QStringLiteral("Rotom (Mow): hp %1 -> %2").arg(QString(hp), QString(mow[2])));

        // A table of Diamond's 500 entries leaves the forms as they are.
        lines.removeLast(); // the empty piece after the last line end
        for (int form = 0; form < 7; ++form)
            lines.removeLast();
        writeFile(m_csv, lines.join('\n'));
        const QByteArray forms = SyntheticRom::read(image, base + 500 * 44, 7 * 44);
        const CliOutcome diamond = runCli({"import", image, m_csv});
        QCOMPARE(diamond.status, 0);
        QCOMPARE(diamond.out, QStringLiteral("no changes; nothing written\n"));
        QCOMPARE(SyntheticRom::read(image, base + 500 * 44, 7 * 44), forms);
    }

    // HeartGold and SoulSilver: 507 entries, their own item list in export and import, the
    // extra forms without gender, and a diff against a game without them.
    void heartGoldAndSoulSilver() {
        const QString image = m_roms->create("hg.nds", "IPKS", 0x200000);
        const SyntheticFileSystem system =
            SyntheticFileSystem::forGame("IPKS", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        system.writeInto(image);
        const qint64 base = system.recordBaseOf("/a/0/0/2");
        SyntheticRom::write(image, base + 12, QByteArray("\xF4\x01\x70\x00", 4)); // 500, 112
        SyntheticRom::write(image, base + 502 * 44 + 16, "\xFF");                 // no gender

        const CliOutcome identified = runCli({"identify", image});
        QVERIFY(identified.out.startsWith(
            "code: IPKS\ntitle: Pokémon Edición Oro HeartGold\nlanguage: Español\n"));
        QVERIFY(identified.out.contains("table: /a/0/0/2 at 0x"));
        const CliOutcome exported = runCli({"export", image, "-f", "json"});
        QCOMPARE(exported.status, 0);
        const QJsonArray entries =
            QJsonDocument::fromJson(exported.out.toUtf8()).object()["entries"].toArray();
        QCOMPARE(entries.size(), 507);
        QCOMPARE(entries[0].toObject()["item1_text"].toString(), QStringLiteral("Park Ball"));
        QCOMPARE(entries[0].toObject()["item2_text"].toString(), QStringLiteral("Griseous Orb"));
        QCOMPARE(entries[506].toObject()["species"].toString(), QStringLiteral("Rotom (Mow)"));

        QCOMPARE(runCli({"export", image, "-o", m_csv}).status, 0);
        QList<QByteArray> lines = readFile(m_csv).split('\n');
        QList<QByteArray> heat = lines[503].split(',');
        heat[14] = "127"; // the gender of Rotom (Heat)
        lines[503] = heat.join(',');
        QList<QByteArray> first = lines[1].split(',');
        first[13] = "536"; // Enigma Stone, HeartGold's last item
        lines[1] = first.join(',');
        writeFile(m_csv, lines.join('\n'));
        const CliOutcome imported = runCli({"import", image, m_csv, "-n"});
        QCOMPARE(imported.status, 1);
        QVERIFY2(imported.err.contains(":504: gender: Rotom (Heat) has no gender"),
                 qPrintable(imported.err));
        QVERIFY(!imported.err.contains("item2"));

        const QString diamond = m_roms->createFor("ADAE", "diamond.nds");
        const CliOutcome diff = runCli({"diff", diamond, image});
        QCOMPARE(diff.status, 0);
        QVERIFY(diff.out.contains("positions 500 to 506 (Giratina (Origin) to Rotom (Mow)) are "
                                  "only in " +
                                  image));

        // Its demo image, whose archive stands where the game reads it.
        const QString demo = m_roms->folder() + "/ss.nds";
        QCOMPARE(runCli({"sample", demo, "--code", "IPGE"}).status, 0);
        QVERIFY(runCli({"check", demo})
                    .out.contains("confirmed: IPGE reads its base-stat table from /a/0/0/2"));
    }

private:
    // Applies one edit to the exported table: "row:LINE:drop-last|append|delete",
    // "cell:LINE:COLUMN:TEXT" or "header:OLD:NEW". Lines count from 1, columns from 0.
    static QByteArray edited(const QByteArray& table, const QString& edit) {
        QList<QByteArray> lines = table.split('\n');
        const QStringList parts = edit.split(':');
        const int line = parts[1].toInt() - 1;
        if (parts[0] == "old") { // as tables were exported before: 24 columns
            for (QByteArray& row : lines)
                row = row.split(',').mid(0, 24).join(',');
            return edited(lines.join('\n'), "cell" + edit.mid(3));
        }
        if (parts[0] == "header") {
            lines[0].replace(parts[1].toUtf8(), parts[2].toUtf8());
        } else if (parts[0] == "row" && parts[2] == "delete") {
            lines.removeAt(line);
        } else if (parts[0] == "row") {
            QList<QByteArray> cells = lines[line].split(',');
            if (parts[2] == "drop-last")
                cells.removeLast();
            else
                cells.append("0");
            lines[line] = cells.join(',');
        } else {
            QList<QByteArray> cells = lines[line].split(',');
            const int column = parts[2].toInt();
            if (column >= cells.size())
                qFatal("the table has no column %d", column);
            cells[column] = parts.mid(3).join(':').toUtf8();
            lines[line] = cells.join(',');
        }
        return lines.join('\n');
    }

    std::unique_ptr<SyntheticRom> m_roms;
    QString m_image;
    QString m_csv;
    QByteArray m_table;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
