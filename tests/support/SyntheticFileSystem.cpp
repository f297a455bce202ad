#include "SyntheticFileSystem.h"

#include "NdsRead.h"
#include "SyntheticRom.h"

#include <QMap>
#include <QRandomGenerator>
#include <QStringList>
#include <QtEndian>

namespace {

void put32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(bytes.data()) + at);
}
void put16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(bytes.data()) + at);
}

QString parentOf(const QString& path) {
    return path.left(path.lastIndexOf('/'));
}
QString nameOf(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

} // namespace

QByteArray SyntheticFileSystem::narc(int members, int size, quint32 seed) {
    const int allocationSize = 12 + 8 * members;
    const qsizetype dataStart = 16 + allocationSize + 16 + 8;
    QByteArray bytes(dataStart + qsizetype(members) * size, '\0');
    bytes.replace(0, 4, "NARC");
    put16(bytes, 4, 0xFFFE);
    put16(bytes, 6, 0x0100);
    put32(bytes, 8, quint32(bytes.size()));
    put16(bytes, 12, 16);
    put16(bytes, 14, 3);
    bytes.replace(16, 4, "BTAF");
    put32(bytes, 20, quint32(allocationSize));
    put16(bytes, 24, quint16(members));
    for (int i = 0; i < members; ++i) {
        put32(bytes, 28 + 8 * i, quint32(i * size));
        put32(bytes, 32 + 8 * i, quint32((i + 1) * size));
    }
    const qsizetype names = 16 + allocationSize;
    bytes.replace(names, 4, "BTNF");
    put32(bytes, names + 4, 16);
    put32(bytes, names + 8, 4);
    put16(bytes, names + 14, 1);
    bytes.replace(names + 16, 4, "GMIF");
    put32(bytes, names + 20, quint32(8 + qsizetype(members) * size));
    QRandomGenerator random(seed);
    for (qsizetype at = dataStart + size; at < bytes.size(); ++at)
        bytes[at] = char(random.bounded(256));
    return bytes;
}

qint64 SyntheticFileSystem::firstRecordOffset(int members, int size) {
    return 16 + 12 + 8LL * members + 16 + 8 + size;
}

SyntheticFileSystem SyntheticFileSystem::forGame(const QByteArray& code, Layout layout) {
    SyntheticFileSystem system;
    const bool platinum = code.startsWith("CPU");
    const bool pearl = code.startsWith("APA");
    const bool johto = code.startsWith("IPK") || code.startsWith("IPG");
    const bool forms = platinum || johto;
    system.tableArchive = johto      ? "/a/0/0/2"
                          : platinum ? "/poketool/personal/pl_personal.narc"
                          : pearl    ? "/poketool/personal_pearl/personal.narc"
                                     : "/poketool/personal/personal.narc";
    // Platinum keeps a stale copy of the Diamond and Pearl archive, HeartGold and SoulSilver
    // one in /pbr; the others one each of a table that another game would read.
    system.decoyArchive = johto      ? "/pbr/personal.narc"
                          : pearl    ? "/poketool/personal/growtbl.narc"
                          : platinum ? "/poketool/personal/personal.narc"
                                     : "/poketool/personal_pearl/personal.narc";
    const QByteArray table = narc(forms ? 508 : 501, 44, qHash(code) + 1);
    const QByteArray decoy = narc(501, 44, qHash(code) + 2);
    const qint64 fixedBase = SyntheticRom::recordBase(code);
    system.add("/a.bin", QByteArray(0x300, 'a'));
    if (fixedBase > 0 && layout == Layout::TableAtFixedBase) {
        system.add(system.tableArchive, table,
                   fixedBase - firstRecordOffset(forms ? 508 : 501, 44));
        system.add(system.decoyArchive, decoy);
    } else if (fixedBase > 0) {
        system.add(system.decoyArchive, decoy, fixedBase - firstRecordOffset(501, 44));
        system.add(system.tableArchive, table, fixedBase + 0x100000);
    } else {
        system.add(system.decoyArchive, decoy);
        // Another archive of as many records of the same size, which only its path tells
        // apart, comes first.
        if (johto)
            system.add("/a/0/0/1", narc(508, 44, qHash(code) + 3));
        system.add(system.tableArchive, table);
    }
    return system;
}

void SyntheticFileSystem::add(const QString& path, const QByteArray& bytes, qint64 offset) {
    if (offset < 0) {
        offset = m_next;
        m_next = (offset + bytes.size() + 0x1FF) & ~qint64(0x1FF);
    }
    m_files.append({path, bytes, offset});
}

QString SyntheticFileSystem::addEvolutions(const QByteArray& code, int members) {
    const bool johto = code.startsWith("IPK") || code.startsWith("IPG");
    if (members < 0)
        members = johto || code.startsWith("CPU") ? 508 : 501;
    const QString path = johto ? "/a/0/3/4" : "/poketool/personal/evo.narc";
    QByteArray bytes = narc(members, 44, 0);
    const qint64 data = firstRecordOffset(members, 44) - 44;
    bytes.replace(data, bytes.size() - data, QByteArray(bytes.size() - data, '\0'));
    add(path, bytes);
    return path;
}

QByteArray SyntheticFileSystem::learnsetMember(const QList<quint16>& words) {
    QByteArray member(2 * (words.size() + 1), '\0');
    for (qsizetype i = 0; i < words.size(); ++i)
        put16(member, 2 * i, words[i]);
    put16(member, 2 * words.size(), 0xFFFF);
    member.resize((member.size() + 3) / 4 * 4, '\0');
    return member;
}

QByteArray SyntheticFileSystem::narcOf(const QList<QByteArray>& members) {
    const qsizetype allocationSize = 12 + 8 * members.size();
    QByteArray bytes(16 + allocationSize + 16 + 8, '\0');
    bytes.replace(0, 4, "NARC");
    put16(bytes, 4, 0xFFFE);
    put16(bytes, 6, 0x0100);
    put16(bytes, 12, 16);
    put16(bytes, 14, 3);
    bytes.replace(16, 4, "BTAF");
    put32(bytes, 20, quint32(allocationSize));
    put16(bytes, 24, quint16(members.size()));
    QByteArray data;
    for (qsizetype i = 0; i < members.size(); ++i) {
        put32(bytes, 28 + 8 * i, quint32(data.size()));
        data += members[i];
        put32(bytes, 32 + 8 * i, quint32(data.size()));
    }
    const qsizetype names = 16 + allocationSize;
    bytes.replace(names, 4, "BTNF");
    put32(bytes, names + 4, 16);
    put32(bytes, names + 8, 4);
    put16(bytes, names + 14, 1);
    bytes.replace(names + 16, 4, "GMIF");
    put32(bytes, names + 20, quint32(8 + data.size()));
    bytes += data;
    put32(bytes, 8, quint32(bytes.size()));
    return bytes;
}

QString SyntheticFileSystem::addLearnsets(const QByteArray& code,
                                          const QList<QList<quint16>>& lists, int members) {
    const bool johto = code.startsWith("IPK") || code.startsWith("IPG");
    if (members < 0)
        members = johto || code.startsWith("CPU") ? 508 : 501;
    QList<QByteArray> bytes{learnsetMember({})};
    for (int member = 1; member < members; ++member)
        bytes.append(
            learnsetMember(member - 1 < lists.size() ? lists[member - 1] : QList<quint16>{}));
    const QString path = johto ? "/a/0/3/3" : "/poketool/personal/wotbl.narc";
    add(path, narcOf(bytes));
    return path;
}

void SyntheticFileSystem::addOverlay(int id, const QByteArray& bytes, bool compressed) {
    add(QStringLiteral("overlay %1").arg(id), bytes);
    m_overlays.append({id, compressed});
}

QByteArray SyntheticFileSystem::eggList(const QMap<int, QList<quint16>>& moves, int bound) {
    QByteArray bytes;
    const auto word = [&](quint16 value) {
        bytes.append(char(value & 0xFF));
        bytes.append(char(value >> 8));
    };
    for (auto it = moves.begin(); it != moves.end(); ++it) {
        if (it.value().isEmpty())
            continue;
        word(quint16(20000 + it.key()));
        for (const quint16 move : it.value())
            word(move);
    }
    while (bytes.size() < 2 * bound)
        word(0xFFFF);
    return bytes;
}

QString SyntheticFileSystem::addEggMoves(const QByteArray& code, const QByteArray& bytes,
                                         bool compressed) {
    if (code.startsWith("IPK") || code.startsWith("IPG")) {
        add("/a/2/2/9", narcOf({bytes}));
        return "/a/2/2/9";
    }
    for (int id = 0; id < 5; ++id)
        addOverlay(id, QByteArray(0x40, char(id)));
    addOverlay(5, bytes, compressed);
    return "overlay 5";
}

void SyntheticFileSystem::nameAs(const QString& path, const QString& other) {
    m_aliases.append({path, other});
}

void SyntheticFileSystem::remove(const QString& path) {
    m_files.removeIf([&](const File& file) { return file.path == path; });
}

void SyntheticFileSystem::move(const QString& path, qint64 offset) {
    for (File& file : m_files)
        if (file.path == path)
            file.offset = offset;
}

const SyntheticFileSystem::File& SyntheticFileSystem::file(const QString& path) const {
    for (const File& file : m_files)
        if (file.path == path)
            return file;
    qFatal("no file %s in the synthetic file system", qPrintable(path));
}

qint64 SyntheticFileSystem::offsetOf(const QString& path) const {
    return file(path).offset;
}
QByteArray SyntheticFileSystem::bytesOf(const QString& path) const {
    return file(path).bytes;
}

qint64 SyntheticFileSystem::recordBaseOf(const QString& path) const {
    const QByteArray& bytes = file(path).bytes;
    const int members = qFromLittleEndian<quint16>(bytes.constData() + 24);
    return offsetOf(path) + firstRecordOffset(members, 44);
}

// Directories in name order, root first; each lists its files (with consecutive ids, in the
// order they were added) and then its subdirectories.
QByteArray SyntheticFileSystem::nameTable(QList<int>& idOrder) const {
    QStringList directories{QString()};
    for (const File& file : m_files)
        for (QString dir = parentOf(file.path); !dir.isEmpty() && file.path.startsWith('/');
             dir = parentOf(dir))
            if (!directories.contains(dir))
                directories.append(dir);
    std::sort(directories.begin() + 1, directories.end());

    // The overlays' files come first, without names.
    for (int f = 0; f < m_files.size(); ++f)
        if (m_files[f].path.startsWith("overlay "))
            idOrder.append(f);

    QByteArray main(8 * directories.size(), '\0');
    QByteArray listings;
    for (int d = 0; d < directories.size(); ++d) {
        put32(main, 8 * d, quint32(main.size() + listings.size()));
        put16(main, 8 * d + 4, quint16(idOrder.size()));
        put16(main, 8 * d + 6,
              quint16(d == 0 ? directories.size()
                             : 0xF000 + directories.indexOf(parentOf(directories[d]))));
        for (int f = 0; f < m_files.size(); ++f)
            if (m_files[f].path.startsWith('/') && parentOf(m_files[f].path) == directories[d]) {
                const QByteArray name = nameOf(m_files[f].path).toLatin1();
                listings += char(name.size()) + name;
                idOrder.append(f);
            }
        for (int c = 1; c < directories.size(); ++c)
            if (parentOf(directories[c]) == directories[d]) {
                const QByteArray name = nameOf(directories[c]).toLatin1();
                QByteArray id(2, '\0');
                put16(id, 0, quint16(0xF000 + c));
                listings += char(0x80 | name.size()) + name + id;
            }
        listings += '\0';
    }
    // A folder's first id given to another file's: its one name names that file.
    for (const auto& [alias, other] : m_aliases) {
        const int d = int(directories.indexOf(parentOf(alias)));
        for (int id = 0; id < idOrder.size(); ++id)
            if (m_files[idOrder[id]].path == other)
                put16(main, 8 * d + 4, quint16(id));
    }
    return main + listings;
}

void SyntheticFileSystem::writeInto(const QString& imagePath) const {
    QList<int> idOrder;
    const QByteArray names = nameTable(idOrder);
    QByteArray allocation(8 * idOrder.size(), '\0');
    for (int id = 0; id < idOrder.size(); ++id) {
        const File& file = m_files[idOrder[id]];
        put32(allocation, 8 * id, quint32(file.offset));
        put32(allocation, 8 * id + 4, quint32(file.offset + file.bytes.size()));
    }
    QByteArray pointers(16, '\0');
    put32(pointers, 0, 0x1000);
    put32(pointers, 4, quint32(names.size()));
    put32(pointers, 8, 0x4000);
    put32(pointers, 12, quint32(allocation.size()));
    if (!m_overlays.isEmpty()) {
        QByteArray table(32 * m_overlays.size(), '\0');
        for (int i = 0; i < m_overlays.size(); ++i) {
            const QString name = QStringLiteral("overlay %1").arg(m_overlays[i].id);
            const qsizetype size = file(name).bytes.size();
            int fileId = 0;
            while (m_files[idOrder[fileId]].path != name)
                ++fileId;
            put32(table, 32 * i, quint32(m_overlays[i].id));
            put32(table, 32 * i + 8, quint32(size));
            put32(table, 32 * i + 24, quint32(fileId));
            put32(table, 32 * i + 28, m_overlays[i].compressed ? 0x01000000u | quint32(size) : 0);
        }
        QByteArray overlayPointer(8, '\0');
        put32(overlayPointer, 0, 0x6000);
        put32(overlayPointer, 4, quint32(table.size()));
        SyntheticRom::write(imagePath, 0x50, overlayPointer);
        SyntheticRom::write(imagePath, 0x6000, table);
    }
    SyntheticRom::write(imagePath, 0x40, pointers);
    SyntheticRom::write(imagePath, 0x1000, names);
    SyntheticRom::write(imagePath, 0x4000, allocation);
    for (const File& file : m_files)
        SyntheticRom::write(imagePath, file.offset, file.bytes);
    if (!cartridge)
        return;
    qint64 used = 0;
    for (const File& file : m_files)
        used = std::max(used, file.offset + file.bytes.size());
    QByteArray header = SyntheticRom::read(imagePath, 0, 0x160);
    put32(header, 0x80, quint32(used));
    header[0x14] = char(cartridge->shift);
    SyntheticRom::write(imagePath, 0, header.left(0x15E));
    SyntheticRom::write(imagePath, used, cartridge->signature);
    const qint64 capacity = qint64(128 * 1024) << cartridge->shift;
    const qint64 end = used + cartridge->signature.size();
    if (cartridge->padded && capacity > end)
        SyntheticRom::write(imagePath, end, QByteArray(capacity - end, char(0xFF)));
    QByteArray crc(2, '\0');
    put16(crc, 0, NdsRead::headerCrc(header));
    SyntheticRom::write(imagePath, 0x15E, crc);
}
