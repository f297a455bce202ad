#include "EntryTableModel.h"

#include "UiText.h"

#include "EvolutionRules.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

using species::Field;

namespace {

using Kind = EntryTableModel::Column::Kind;

EntryTableModel::Column fieldColumn(Field field) {
    return {Kind::Field, field, QString::fromStdString(species::displayName(field)),
            uitext::fromUtf8(species::descriptor(field).key)};
}

bool isList(const EntryTableModel::Column& column) {
    return column.kind == Kind::Field && !species::descriptor(column.field).isNumber();
}

} // namespace

const std::vector<EntryTableModel::Column>& EntryTableModel::columns() {
    static const std::vector<Column> built = [] {
        std::vector<Column> all{
            {Kind::Position, Field::HP, QStringLiteral("Position"), QStringLiteral("position")},
            {Kind::Name, Field::HP, QStringLiteral("Name"), QStringLiteral("species")}};
        for (const Field field : {Field::HP, Field::Attack, Field::Defense, Field::Speed,
                                  Field::SpAttack, Field::SpDefense})
            all.push_back(fieldColumn(field));
        all.push_back({Kind::Total, Field::HP, QStringLiteral("Total"),
                       QStringLiteral("hp + attack + defense + speed + sp_attack + sp_defense")});
        for (const Field field :
             {Field::Type1,         Field::Type2,   Field::Ability1,   Field::Ability2,
              Field::CatchRate,     Field::BaseXP,  Field::EvHp,       Field::EvAttack,
              Field::EvDefense,     Field::EvSpeed, Field::EvSpAttack, Field::EvSpDefense,
              Field::Item1,         Field::Item2,   Field::Gender,     Field::Hatch,
              Field::BaseHappiness, Field::MaxExp,  Field::EggType1,   Field::EggType2,
              Field::RunChance,     Field::Colour,  Field::Flip})
            all.push_back(fieldColumn(field));
        all.push_back({Kind::TmHmCount, Field::HP, QStringLiteral("TMs and HMs"),
                       QStringLiteral("tm_hm: how many it names")});
        all.push_back({Kind::EvolvesInto, Field::HP, QStringLiteral("Evolves into"),
                       QStringLiteral("export --evolutions; change them with Edit > Evolutions... "
                                      "in the main window")});
        return all;
    }();
    return built;
}

EntryTableModel::EntryTableModel(QObject* parent) : QAbstractTableModel(parent) {
}

void EntryTableModel::reset(std::vector<species::Record> disk, nds::Game game,
                            std::vector<species::Record> evolutions) {
    beginResetModel();
    m_disk = std::move(disk);
    m_evolutions = std::move(evolutions);
    m_game = game;
    m_staged.clear();
    m_readAs.clear();
    m_steps.clear();
    endResetModel();
    emit stagedChanged();
}

void EntryTableModel::diskChanged(const std::vector<species::EntryWrite>& written) {
    for (const species::EntryWrite& entry : written) {
        if (entry.position < 0 || entry.position >= rowCount())
            continue;
        m_disk[static_cast<std::size_t>(entry.position)] = entry.after;
        if (entry.evolutionsAfter && entry.position < static_cast<int>(m_evolutions.size()))
            m_evolutions[static_cast<std::size_t>(entry.position)] = *entry.evolutionsAfter;
        emit dataChanged(index(entry.position, 0), index(entry.position, columnCount() - 1));
    }
}

int EntryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_disk.size());
}

int EntryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns().size());
}

std::optional<int> EntryTableModel::staged(int position, Field field) const {
    const auto found = m_staged.find(position);
    return found == m_staged.end() ? std::nullopt : found->second[field];
}

int EntryTableModel::diskValue(int position, Field field) const {
    return diskRecord(position).get(field);
}

const species::Record& EntryTableModel::diskRecord(int position) const {
    return m_disk[static_cast<std::size_t>(position)];
}

std::vector<species::Record> EntryTableModel::shownRecords() const {
    std::vector<species::Record> shown = m_disk;
    for (const auto& [position, fields] : m_staged)
        shown[static_cast<std::size_t>(position)].apply(fields);
    return shown;
}

int EntryTableModel::value(int position, Field field) const {
    return staged(position, field).value_or(diskValue(position, field));
}

int EntryTableModel::total(int position) const {
    int sum = 0;
    for (const Field field : {Field::HP, Field::Attack, Field::Defense, Field::Speed,
                              Field::SpAttack, Field::SpDefense})
        sum += value(position, field);
    return sum;
}

int EntryTableModel::tmHmCount(int position) const {
    int count = 0;
    for (int n = 0; n < species::kTmHmCount; ++n)
        count += value(position, species::tmHm(n));
    return count;
}

QString EntryTableModel::search(int position) const {
    QString text = QString::fromStdString(vocabulary::entryName(position));
    for (const Field field : {Field::Type1, Field::Type2, Field::Ability1, Field::Ability2})
        text += ' ' + QString::fromStdString(vocabulary::text(species::descriptor(field).list,
                                                              value(position, field), m_game)
                                                 .value_or(""));
    return uitext::folded(text);
}

QVariant EntryTableModel::display(int position, const Column& column) const {
    switch (column.kind) {
    case Kind::Position:
        return position;
    case Kind::Name:
        return QString::fromStdString(vocabulary::entryName(position));
    case Kind::Total:
        return total(position);
    case Kind::TmHmCount:
        return tmHmCount(position);
    case Kind::EvolvesInto:
        if (position >= static_cast<int>(m_evolutions.size()))
            return QString();
        return QString::fromStdString(
            species::evolvesInto(m_evolutions[static_cast<std::size_t>(position)], m_game));
    case Kind::Field:
        break;
    }
    const species::FieldDescriptor& field = species::descriptor(column.field);
    const int stored = value(position, column.field);
    if (field.isNumber())
        return stored;
    if (const std::optional<std::string> name = vocabulary::text(field.list, stored, m_game))
        return QString::fromStdString(*name);
    return QStringLiteral("Value %1").arg(stored);
}

QVariant EntryTableModel::sortKey(int position, const Column& column) const {
    if (column.kind == Kind::Name || column.kind == Kind::EvolvesInto || isList(column))
        return uitext::folded(display(position, column).toString());
    return display(position, column);
}

QVariant EntryTableModel::tip(int position, const Column& column) const {
    if (column.kind != Kind::Field)
        return {};
    if (const std::optional<QString> why = lockedWhy(position, column.field))
        return *why;
    if (staged(position, column.field)) {
        const species::FieldDescriptor& field = species::descriptor(column.field);
        const int disk = diskValue(position, column.field);
        const std::optional<std::string> name = vocabulary::text(field.list, disk, m_game);
        return QStringLiteral("Changed, not saved: the image holds %1")
            .arg(field.isNumber() || !name ? QString::number(disk) : QString::fromStdString(*name));
    }
    if (isList(column) && !vocabulary::text(species::descriptor(column.field).list,
                                            value(position, column.field), m_game))
        return QStringLiteral("The image holds %1, which this list has no entry for. Saving "
                              "keeps it unless you pick an entry.")
            .arg(value(position, column.field));
    return {};
}

QVariant EntryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int position = index.row();
    const Column& column = columns()[static_cast<std::size_t>(index.column())];
    const bool changed = column.kind == Kind::Field && staged(position, column.field);
    switch (role) {
    case Qt::DisplayRole:
        return display(position, column);
    case Qt::EditRole:
        return column.kind == Kind::Field ? QVariant(value(position, column.field))
                                          : display(position, column);
    case SortRole:
        return sortKey(position, column);
    case SearchRole:
        return search(position);
    case GameRole:
        return static_cast<int>(m_game);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return tip(position, column);
    case Qt::FontRole:
        if (changed) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::BackgroundRole:
        // The palette's own highlight, so the mark shows in high-contrast themes too.
        if (changed) {
            QColor mark = QGuiApplication::palette().color(QPalette::Highlight);
            mark.setAlpha(70);
            return mark;
        }
        return {};
    case Qt::TextAlignmentRole:
        return int((isList(column) || column.kind == Kind::Name || column.kind == Kind::EvolvesInto
                        ? Qt::AlignLeft
                        : Qt::AlignRight) |
                   Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant EntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column& column = columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.caption;
    if (role == Qt::ToolTipRole)
        return QStringLiteral("statwright-cli: %1").arg(column.tip);
    return {};
}

Qt::ItemFlags EntryTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return flags;
    const Column& column = columns()[static_cast<std::size_t>(index.column())];
    if (column.kind == Kind::Field && !lockedWhy(index.row(), column.field))
        flags |= Qt::ItemIsEditable;
    return flags;
}

std::optional<QString> EntryTableModel::lockedWhy(int position, Field field) const {
    if (species::lockOf(field, position) == species::Lock::None)
        return std::nullopt;
    return QStringLiteral("%1 has no gender, so its gender cannot be changed: the sprite in the "
                          "game would break")
        .arg(QString::fromStdString(vocabulary::entryName(position)));
}

std::optional<QString> EntryTableModel::refusal(int position, Field field, long value) const {
    const std::optional<std::string> why =
        species::refusal(species::descriptor(field), position, value, std::to_string(value),
                         diskValue(position, field), m_game);
    if (!why)
        return std::nullopt;
    return QString::fromStdString(*why);
}

bool EntryTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const Column& column = columns()[static_cast<std::size_t>(index.column())];
    if (column.kind != Kind::Field)
        return false;
    bool number = false;
    const int wanted = value.toInt(&number);
    if (!number)
        return false;
    const QStringList refused = stage({{index.row(), column.field, 0, wanted}});
    if (!refused.isEmpty()) {
        emit this->refused(refused.front());
        return false;
    }
    return true;
}

void EntryTableModel::put(int position, Field field, std::optional<int> value) {
    species::ByField<std::optional<int>>& entry = m_staged[position];
    m_readAs.emplace(position, diskRecord(position)); // kept from the first value staged
    entry[field] = value && *value != diskValue(position, field) ? value : std::nullopt;
    if (entry == species::ByField<std::optional<int>>()) {
        m_staged.erase(position);
        m_readAs.erase(position);
    }
    emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

QStringList EntryTableModel::stage(const std::vector<species::Change>& values) {
    QStringList refused;
    for (const species::Change& change : values)
        if (const std::optional<QString> why = refusal(change.position, change.field, change.after))
            refused << QString::fromStdString(vocabulary::entryName(change.position)) + ": " + *why;
    if (!refused.isEmpty() || values.empty())
        return refused;
    std::vector<Undo> step;
    for (const species::Change& change : values) {
        step.push_back({change.position, change.field, staged(change.position, change.field)});
        put(change.position, change.field, change.after);
    }
    m_steps.push_back(std::move(step));
    emit stagedChanged();
    return refused;
}

void EntryTableModel::undoStep() {
    if (m_steps.empty())
        return;
    const std::vector<Undo> step = std::move(m_steps.back());
    m_steps.pop_back();
    for (auto undo = step.rbegin(); undo != step.rend(); ++undo)
        put(undo->position, undo->field, undo->before);
    emit stagedChanged();
}

void EntryTableModel::discard() {
    const std::map<int, species::ByField<std::optional<int>>> dropped = std::move(m_staged);
    m_staged.clear();
    m_readAs.clear();
    m_steps.clear();
    for (const auto& [position, fields] : dropped)
        emit dataChanged(index(position, 0), index(position, columnCount() - 1));
    emit stagedChanged();
}

std::vector<species::Change> EntryTableModel::stagedChanges() const {
    std::vector<species::Change> changes;
    for (const auto& [position, fields] : m_staged)
        for (const species::FieldDescriptor& field : species::fieldLayout())
            if (const std::optional<int>& after = fields[field.field])
                changes.push_back(
                    {position, field.field, diskValue(position, field.field), *after});
    return changes;
}

void EntryTableModel::overwrite(const std::vector<std::pair<int, species::Record>>& onDisk) {
    for (const auto& [position, record] : onDisk) {
        m_disk[static_cast<std::size_t>(position)] = record;
        m_readAs[position] = record;
        emit dataChanged(index(position, 0), index(position, columnCount() - 1));
    }
}

void EntryTableModel::saved(const std::vector<species::EntryWrite>& written) {
    for (const species::EntryWrite& entry : written) {
        m_disk[static_cast<std::size_t>(entry.position)] = entry.after;
        m_staged.erase(entry.position);
        m_readAs.erase(entry.position);
        emit dataChanged(index(entry.position, 0), index(entry.position, columnCount() - 1));
    }
    m_steps.clear();
    emit stagedChanged();
}
