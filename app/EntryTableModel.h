#pragma once

#include "species/Change.h"
#include "species/FieldLayout.h"
#include "species/ImageDocument.h"
#include "species/Record.h"

#include "nds/GameEdition.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <vector>

namespace app {

// Every entry of an image as rows of a table: a view of the document, which holds what the
// disk holds and the edits not saved over it. Values are judged by the core's value rules, as
// the main window judges them, when they are staged.
class EntryTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role {
        SortRole = Qt::UserRole, // numbers as numbers, list values by name
        SearchRole,              // name, types and abilities, folded, for the filter
        GameRole,                // the image's game, for the lists of an editor
    };

    // What a column shows: a field of the record, or one of the columns made from the entry.
    struct Column {
        enum class Kind { Position, Name, Field, Total, TmHmCount, EvolvesInto, MoveCount };
        Kind kind;
        species::Field field = species::Field::HP;
        QString caption;
        QString tip; // the column of statwright-cli, or how the value is made
    };
    [[nodiscard]] static const std::vector<Column>& columns();
    // Whether the table has a column that edits `field`.
    [[nodiscard]] static bool shows(species::Field field);

    explicit EntryTableModel(QObject* parent = nullptr);
    ~EntryTableModel() override;

    // Shows `document`, and follows it from now on; null shows nothing.
    void setDocument(species::ImageDocument* document);
    [[nodiscard]] species::ImageDocument* document() const { return m_document; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stages a value; refused (false) when the value rules refuse it, and `refused` says why.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The value shown in a field of an entry: staged, or as on disk.
    [[nodiscard]] int value(int position, species::Field field) const;
    [[nodiscard]] int diskValue(int position, species::Field field) const;
    [[nodiscard]] nds::Game game() const;
    // Why `field` of the entry at `position` cannot be changed, or nothing.
    [[nodiscard]] std::optional<QString> lockedWhy(int position, species::Field field) const;

    // Stages `changes` as one step, all or none: the refusals, one line each, when any value
    // may not be set.
    [[nodiscard]] QStringList stage(const std::vector<species::Change>& changes);

signals:
    void refused(const QString& why);

private:
    void documentChanged(const std::vector<int>& positions);
    [[nodiscard]] bool staged(int position, species::Field field) const;
    [[nodiscard]] QVariant display(int position, const Column& column) const;
    [[nodiscard]] QVariant sortKey(int position, const Column& column) const;
    [[nodiscard]] QVariant tip(int position, const Column& column) const;
    [[nodiscard]] int total(int position) const;
    [[nodiscard]] int tmHmCount(int position) const;
    [[nodiscard]] QString search(int position) const;

    species::ImageDocument* m_document = nullptr;
    int m_listening = -1;
    int m_rows = 0;
};

} // namespace app
