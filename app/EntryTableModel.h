#pragma once

#include "Change.h"
#include "EditSession.h"
#include "FieldLayout.h"
#include "Record.h"

#include "GameEdition.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// Every entry of an image as rows of a table, with the changes the user staged in it: what the
// disk holds (as last read or written), and over it the values staged, cell by cell, until they
// are saved or dropped. Values are judged by the core's value rules, as the main window judges
// them; the model keeps the steps of staging, so that they can be taken back one by one.
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
        enum class Kind { Position, Name, Field, Total, TmHmCount, EvolvesInto };
        Kind kind;
        species::Field field = species::Field::HP;
        QString caption;
        QString tip; // the column of statwright-cli, or how the value is made
    };
    [[nodiscard]] static const std::vector<Column>& columns();

    explicit EntryTableModel(QObject* parent = nullptr);

    // The entries as the disk holds them, of an image of `game`, with their evolution records
    // (none where the image has none); every staged value goes.
    void reset(std::vector<species::Record> disk, nds::Game game,
               std::vector<species::Record> evolutions = {});
    // Entries written since (by this window or another): what the disk holds now. Staged
    // values stay, to meet the question of a change made on disk when they are saved.
    void diskChanged(const std::vector<species::EntryWrite>& written);

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
    [[nodiscard]] const species::Record& diskRecord(int position) const;
    // Every entry as shown: what the disk holds, with the staged values over it.
    [[nodiscard]] std::vector<species::Record> shownRecords() const;
    [[nodiscard]] const std::vector<species::Record>& diskRecords() const { return m_disk; }
    // The evolution records as the disk holds them; none where the image has none.
    [[nodiscard]] const std::vector<species::Record>& evolutionRecords() const {
        return m_evolutions;
    }
    [[nodiscard]] nds::Game game() const { return m_game; }
    // Why `field` of the entry at `position` cannot be changed, or nothing.
    [[nodiscard]] std::optional<QString> lockedWhy(int position, species::Field field) const;
    // Why `value` may not be set, or nothing.
    [[nodiscard]] std::optional<QString> refusal(int position, species::Field field,
                                                 long value) const;

    // Stages `values` (position, field, value) as one step, all or none: the refusals, one line
    // each, when any value may not be set.
    [[nodiscard]] QStringList stage(const std::vector<species::Change>& values);
    // Takes back the last step of staging.
    void undoStep();
    [[nodiscard]] bool canUndoStep() const { return !m_steps.empty(); }
    // Drops every staged value.
    void discard();

    // The staged values as changes of what the disk holds, by position, then field.
    [[nodiscard]] std::vector<species::Change> stagedChanges() const;
    [[nodiscard]] int stagedEntries() const { return static_cast<int>(m_staged.size()); }
    // What the table read the staged entries as, for a save to compare with the disk: the
    // record on disk when the first value of the entry was staged.
    [[nodiscard]] const species::ReadAs& readAs() const { return m_readAs; }
    // The user chose to overwrite what another program wrote: the entries' records are taken as
    // read now, and their staged values go over them.
    void overwrite(const std::vector<std::pair<int, species::Record>>& onDisk);
    // The staged values were saved: the disk holds them now.
    void saved(const std::vector<species::EntryWrite>& written);

signals:
    // The staged values changed: by an edit, a step taken back, a save or a discard.
    void stagedChanged();
    void refused(const QString& why);

private:
    struct Undo {
        int position;
        species::Field field;
        std::optional<int> before; // the staged value before the step, or none
    };
    void put(int position, species::Field field, std::optional<int> staged);
    [[nodiscard]] std::optional<int> staged(int position, species::Field field) const;
    [[nodiscard]] QVariant display(int position, const Column& column) const;
    [[nodiscard]] QVariant sortKey(int position, const Column& column) const;
    [[nodiscard]] QVariant tip(int position, const Column& column) const;
    [[nodiscard]] int total(int position) const;
    [[nodiscard]] int tmHmCount(int position) const;
    [[nodiscard]] QString search(int position) const;

    std::vector<species::Record> m_disk;
    std::vector<species::Record> m_evolutions; // shown, never staged
    nds::Game m_game = nds::Game::Diamond;
    std::map<int, species::ByField<std::optional<int>>> m_staged;
    species::ReadAs m_readAs; // of each entry with staged values
    std::vector<std::vector<Undo>> m_steps;
};
