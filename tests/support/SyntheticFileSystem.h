#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A DS file system written into a synthetic image: the header's pointers to a name table and
// an allocation table, and the files, each on a 0x200 boundary as in a retail image. Nothing
// in it comes from a real game: archives hold records computed from a seed.
class SyntheticFileSystem {
public:
    // Where the layouts of a game put the edition's fixed base (none for an edition without).
    enum class Layout {
        TableAtFixedBase, // member 1 of the archive the game reads starts at the fixed base
        DecoyAtFixedBase, // another archive of 44-byte records lies there; the game's is after
    };

    // The archive that the game of `code` reads, a decoy archive of the same shape with other
    // bytes, and a plain file, laid out as `layout` says.
    static SyntheticFileSystem forGame(const QByteArray& code, Layout layout);

    // A file at `offset`, or on the next free 0x200 boundary from 0x10000 when it is -1.
    void add(const QString& path, const QByteArray& bytes, qint64 offset = -1);
    // Adds the evolution archive the game of `code` reads, of `members` all-zero 44-byte
    // members (as many as its base-stat archive when -1); its path.
    QString addEvolutions(const QByteArray& code, int members = -1);
    // Adds the learnset archive the game of `code` reads: member 0 an empty list, then
    // `lists` (as many members as its base-stat archive when `members` is -1; empty lists for
    // the rest), each its words and the end mark, padded with zeros to four bytes; its path.
    QString addLearnsets(const QByteArray& code, const QList<QList<quint16>>& lists,
                         int members = -1);
    // The member of a learnset archive that holds `words`, as addLearnsets() writes it.
    [[nodiscard]] static QByteArray learnsetMember(const QList<quint16>& words);
    // A NARC of `members`, back to back.
    [[nodiscard]] static QByteArray narcOf(const QList<QByteArray>& members);
    // ARM9 overlay `id`, placed as add() places a file. Overlays take the first file ids, in
    // the order they are added, before every named file, as in a retail image; the header's
    // overlay table lists them, flagged as compressed where `compressed` says.
    void addOverlay(int id, const QByteArray& bytes, bool compressed = false);
    // The game's list of egg moves in bytes: for each species of `moves` (by species number)
    // that has any, its marker (20000 + species) and its moves; the end mark, and 0xFFFF up to
    // `bound` words.
    [[nodiscard]] static QByteArray eggList(const QMap<int, QList<quint16>>& moves, int bound);
    // Puts `bytes` where the game of `code` reads its egg moves: as the one member of /a/2/2/9,
    // or as ARM9 overlay 5 after overlays 0 to 4; the path, or "overlay 5".
    QString addEggMoves(const QByteArray& code, const QByteArray& bytes, bool compressed = false);
    void remove(const QString& path);
    // Gives the name `path`, alone in its folder, the file id of `other`, as a damaged or
    // hostile name table may: two names of one file.
    void nameAs(const QString& path, const QString& other);
    void move(const QString& path, qint64 offset);

    // What the header says of the cartridge, when a test sets it: writeInto() then writes the
    // used size (the end of the last file), the capacity (128 KiB shifted left by `shift`),
    // `signature` right after the used size, 0xFF filler up to the capacity when `padded`, and
    // the header's CRC.
    struct Cartridge {
        int shift = 0;
        bool padded = false;
        QByteArray signature;
    };
    std::optional<Cartridge> cartridge;

    // Writes the tables and every file (making the image longer where a file needs it).
    void writeInto(const QString& imagePath) const;

    [[nodiscard]] qint64 offsetOf(const QString& path) const;
    [[nodiscard]] QByteArray bytesOf(const QString& path) const;
    // Where member 1 of the archive at `path` starts in the image.
    [[nodiscard]] qint64 recordBaseOf(const QString& path) const;

    // A NARC of `members` members of `size` bytes: member 0 all zero, the others bytes from
    // `seed`.
    [[nodiscard]] static QByteArray narc(int members, int size, quint32 seed);
    // Offset of member 1 within an archive of `members` members of `size` bytes.
    [[nodiscard]] static qint64 firstRecordOffset(int members, int size);

    QString tableArchive; // set by forGame
    QString decoyArchive;

private:
    struct File {
        QString path;
        QByteArray bytes;
        qint64 offset;
    };
    [[nodiscard]] const File& file(const QString& path) const;
    [[nodiscard]] QByteArray nameTable(QList<int>& idOrder) const;

    QList<File> m_files;
    QList<std::pair<QString, QString>> m_aliases; // a name, and the file whose id it gets
    struct OverlayEntry {
        int id;
        bool compressed;
    };
    QList<OverlayEntry> m_overlays; // their files are "overlay N" in m_files
    qint64 m_next = 0x10000;
};
