#include "EntryTableModel.h"

#include "UiText.h"

#include "species/EvolutionRules.h"
#include "species/ValueRules.h"
#include "species/Vocabulary.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

using species::Field;

namespace app {

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
        all.push_back({Kind::MoveCount, Field::Learnset, QStringLiteral("Level-up moves"),
                       QStringLiteral("export --learnsets: how many moves; change them with "
                                      "Edit > Moves... in the main window")});
        all.push_back({Kind::MoveCount, Field::EggMoves, QStringLiteral("Egg moves"),
                       QStringLiteral("export --egg-moves: how many moves; change them with "
                                      "Edit > Moves... in the main window")});
        return all;
    }();
    return built;
}

bool EntryTableModel::shows(Field field) {
    for (const Column& column : columns())
        if (column.kind == Kind::Field && column.field == field)
            return true;
    return false;
}

EntryTableModel::EntryTableModel(QObject* parent) : QAbstractTableModel(parent) {
}

EntryTableModel::~EntryTableModel() {
    setDocument(nullptr);
}

void EntryTableModel::setDocument(species::ImageDocument* document) {
    if (m_document)
        m_document->unlisten(m_listening);
    beginResetModel();
    m_document = document;
    m_rows = m_document ? m_document->entries() : 0;
    endResetModel();
    if (m_document)
        m_listening = m_document->listen(
            [this](const std::vector<int>& positions) { documentChanged(positions); });
}

void EntryTableModel::documentChanged(const std::vector<int>& positions) {
    const int rows = m_document->entries();
    if (rows != m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    if (positions.empty() && m_rows > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
        return;
    }
    for (const int position : positions)
        if (position >= 0 && position < m_rows)
            emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

int EntryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int EntryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns().size());
}

nds::Game EntryTableModel::game() const {
    return m_document && m_document->edition() ? m_document->edition()->game : nds::Game::Diamond;
}

bool EntryTableModel::staged(int position, Field field) const {
    return m_document->value(position, field) != m_document->diskValue(position, field);
}

int EntryTableModel::diskValue(int position, Field field) const {
    return m_document->diskValue(position, field).number();
}

int EntryTableModel::value(int position, Field field) const {
    return m_document->value(position, field).number();
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
                                                              value(position, field), game())
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
        if (!m_document->table(species::Kind::Evolutions).place)
            return QString();
        return QString::fromStdString(
            species::evolvesInto(m_document->record(position, species::Kind::Evolutions), game()));
    case Kind::MoveCount:
        if (!m_document->table(species::kindOf(column.field)).place)
            return QString();
        return static_cast<int>(m_document->value(position, column.field).items().size());
    case Kind::Field:
        break;
    }
    const species::FieldDescriptor& field = species::descriptor(column.field);
    const int stored = value(position, column.field);
    if (field.isNumber())
        return stored;
    if (const std::optional<std::string> name = vocabulary::text(field.list, stored, game()))
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
        const std::optional<std::string> name = vocabulary::text(field.list, disk, game());
        return QStringLiteral("Changed, not saved: the image holds %1")
            .arg(field.isNumber() || !name ? QString::number(disk) : QString::fromStdString(*name));
    }
    if (isList(column) && !vocabulary::text(species::descriptor(column.field).list,
                                            value(position, column.field), game()))
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
        return static_cast<int>(game());
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

bool EntryTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !m_document)
        return false;
    const Column& column = columns()[static_cast<std::size_t>(index.column())];
    if (column.kind != Kind::Field)
        return false;
    bool number = false;
    const int wanted = value.toInt(&number);
    if (!number)
        return false;
    const QStringList refused = stage({m_document->changeTo(index.row(), column.field, wanted)});
    if (!refused.isEmpty()) {
        emit this->refused(refused.front());
        return false;
    }
    return true;
}

QStringList EntryTableModel::stage(const std::vector<species::Change>& changes) {
    QStringList refused;
    for (const std::string& line : m_document->stage(changes))
        refused << QString::fromStdString(line);
    return refused;
}

} // namespace app
