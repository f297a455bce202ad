#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Sparse image files in a private temporary folder: the right size, a game code at offset 12
// and chosen bytes where a test wants them. Nothing in them comes from a real game.
class SyntheticRom {
public:
    SyntheticRom();

    // A new file of `size` bytes (all zero, stored sparsely) with `code` at offset 12.
    QString create(const QString& name, const QByteArray& code, qint64 size);
    // A file large enough to hold the whole base-stat table of the edition `code`.
    QString createFor(const QByteArray& code, const QString& name = QStringLiteral("image.nds"));

    [[nodiscard]] QString folder() const { return m_dir.path(); }

    static void write(const QString& path, qint64 offset, const QByteArray& bytes);
    [[nodiscard]] static QByteArray read(const QString& path, qint64 offset, qint64 count);
    [[nodiscard]] static QByteArray sha256(const QString& path);
    // The file's length and the bytes of the base-stat table of edition `code`: all that a
    // save or an import may change. Cheaper than hashing a whole image, and as telling where
    // a test also checks that nothing was written elsewhere.
    [[nodiscard]] static QByteArray fingerprint(const QString& path, const QByteArray& code);
    [[nodiscard]] static qint64 recordBase(const QByteArray& code);
    [[nodiscard]] static qint64 recordOffset(const QByteArray& code, int position);
    // Pseudo-random bytes for `count` records from `seed` on, written from the table's start.
    static void fillRecords(const QString& path, const QByteArray& code, quint32 seed);

private:
    QTemporaryDir m_dir;
};
