#include "MovesDialog.h"

#include "UiText.h"

#include "species/EggMoveRules.h"
#include "species/EvolutionRules.h"
#include "species/LearnsetRules.h"
#include "species/Vocabulary.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace app {

namespace {

const QString kKeepNote =
    QStringLiteral("OK keeps these lists for the entry; Save ROM writes them with its base stats.");

QString nameOf(int move) {
    return QString::fromStdString(species::moveName(move));
}

// A box of every move, typed into to find one by any part of its name.
void fillMoves(QComboBox* box) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    for (int move = 1; move <= species::kMoveCount; ++move)
        box->addItem(nameOf(move), move);
    box->completer()->setCompletionMode(QCompleter::PopupCompletion);
    box->completer()->setFilterMode(Qt::MatchContains);
    box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

bool editsLearnset(int position, const MovesDialog::Lists& lists) {
    return lists.learnset && !species::hasNoLearnset(position);
}
bool editsEggMoves(int position, const MovesDialog::Lists& lists) {
    return lists.eggMoves && species::editsEggMoves(position);
}

std::vector<species::Part> partsOf(int position, const MovesDialog::Lists& lists) {
    std::vector<species::Part> parts;
    if (editsLearnset(position, lists))
        parts.push_back(species::Part::Learnset);
    if (editsEggMoves(position, lists))
        parts.push_back(species::Part::EggMoves);
    return parts;
}

} // namespace

MovesDialog::MovesDialog(int position, const Lists& lists)
    : EntryDialog(
          QStringLiteral("Moves: %1").arg(QString::fromStdString(vocabulary::entryName(position))),
          {740, 400}, {564, 366, 81, 25}, partsOf(position, lists)),
      m_position(position), m_editsLearnset(editsLearnset(position, lists)),
      m_editsEggMoves(editsEggMoves(position, lists)),
      m_read(lists.learnset ? lists.learnset->items() : std::vector<int>()), m_words(m_read),
      m_eggRead(lists.eggMoves ? lists.eggMoves->items() : std::vector<int>()),
      m_eggMoves(m_eggRead), m_freeEggWords(lists.freeEggWords) {
    setObjectName(QStringLiteral("dlgMoves"));
    setFont(uitext::controlFont());

    auto* caption =
        addLabel("lblLevelMoves", QStringLiteral("&Level-up moves"), {8, 8, 280, 17}, false);
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("tblLevelMoves"));
    m_table->setGeometry(8, 28, 280, 262);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Level"), QStringLiteral("Move")});
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 56);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAccessibleName(QStringLiteral("Level-up moves"));
    caption->setBuddy(m_table);

    auto* levelCaption =
        addLabel("lblMoveLevel", QStringLiteral("Le&vel"), {300, 28, 132, 17}, false);
    m_level = new QSpinBox(this);
    m_level->setObjectName(QStringLiteral("spnMoveLevel"));
    m_level->setGeometry(300, 46, 64, 22);
    m_level->setRange(1, species::kLearnLevelMaximum);
    m_level->setAccessibleName(QStringLiteral("Level of the move to add"));
    levelCaption->setBuddy(m_level);

    auto* moveCaption = addLabel("lblMove", QStringLiteral("&Move"), {300, 76, 132, 17}, false);
    m_move = new QComboBox(this);
    m_move->setObjectName(QStringLiteral("cmbMove"));
    m_move->setGeometry(300, 94, 132, 22);
    fillMoves(m_move);
    m_move->setAccessibleName(QStringLiteral("Move to add"));
    moveCaption->setBuddy(m_move);

    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("btnAddMove"));
    m_add->setGeometry(300, 126, 132, 25);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("btnRemoveMove"));
    m_remove->setGeometry(300, 158, 132, 25);

    m_count = addLabel("lblMoveCount", QString(), {8, 296, 280, 17}, false);

    auto* eggCaption =
        addLabel("lblEggMoves", QStringLiteral("&Egg moves"), {448, 8, 160, 17}, false);
    m_eggList = new QListWidget(this);
    m_eggList->setObjectName(QStringLiteral("lstEggMoves"));
    m_eggList->setGeometry(448, 28, 160, 262);
    m_eggList->setAccessibleName(QStringLiteral("Egg moves"));
    eggCaption->setBuddy(m_eggList);

    auto* eggMoveCaption =
        addLabel("lblEggMove", QStringLiteral("E&gg move"), {620, 76, 112, 17}, false);
    m_eggMove = new QComboBox(this);
    m_eggMove->setObjectName(QStringLiteral("cmbEggMove"));
    m_eggMove->setGeometry(620, 94, 112, 22);
    fillMoves(m_eggMove);
    m_eggMove->setAccessibleName(QStringLiteral("Egg move to add"));
    eggMoveCaption->setBuddy(m_eggMove);

    m_addEgg = new QPushButton(QStringLiteral("A&dd"), this);
    m_addEgg->setObjectName(QStringLiteral("btnAddEggMove"));
    m_addEgg->setGeometry(620, 126, 112, 25);
    m_addEgg->setAccessibleName(QStringLiteral("Add egg move"));
    m_removeEgg = new QPushButton(QStringLiteral("Rem&ove"), this);
    m_removeEgg->setObjectName(QStringLiteral("btnRemoveEggMove"));
    m_removeEgg->setGeometry(620, 158, 112, 25);
    m_removeEgg->setAccessibleName(QStringLiteral("Remove egg move"));
    m_eggRoom = addLabel("lblEggMoveRoom", QString(), {448, 296, 284, 34}, true);

    m_note = addLabel("lblMovesNote", QString(), {8, 332, 540, 30}, true);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(651, 366, 81, 25);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    okButton()->setObjectName(QStringLiteral("cmdOK"));

    connect(m_add, &QPushButton::clicked, this, &MovesDialog::addMove);
    connect(m_move->lineEdit(), &QLineEdit::returnPressed, this, &MovesDialog::addMove);
    connect(m_remove, &QPushButton::clicked, this, &MovesDialog::removeMove);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        m_remove->setEnabled(m_editsLearnset && !m_table->selectedItems().isEmpty());
    });
    connect(m_addEgg, &QPushButton::clicked, this, &MovesDialog::addEggMove);
    connect(m_eggMove->lineEdit(), &QLineEdit::returnPressed, this, &MovesDialog::addEggMove);
    connect(m_removeEgg, &QPushButton::clicked, this, &MovesDialog::removeEggMove);
    connect(m_eggList, &QListWidget::itemSelectionChanged, this, [this] {
        m_removeEgg->setEnabled(m_editsEggMoves && !m_eggList->selectedItems().isEmpty());
    });

    const QString name = QString::fromStdString(vocabulary::entryName(position));
    for (QWidget* control : std::initializer_list<QWidget*>{m_level, m_move, m_add, m_remove})
        control->setEnabled(m_editsLearnset);
    for (QWidget* control : std::initializer_list<QWidget*>{m_eggMove, m_addEgg, m_removeEgg})
        control->setEnabled(m_editsEggMoves);
    okButton()->setEnabled(m_editsLearnset || m_editsEggMoves);
    showList(-1);
    showEggMoves(-1);
    if (!lists.learnset)
        m_count->setText(QStringLiteral("This ROM has no learnset table."));
    if (!lists.eggMoves)
        m_eggRoom->setText(QStringLiteral("This ROM has no list of egg moves."));
    if (species::hasNoLearnset(position)) {
        showNote(name + QStringLiteral(" is no species of its own: the game reads no moves for "
                                       "it, so they cannot be edited here."));
        return;
    }
    if (lists.eggMoves && !m_editsEggMoves)
        showNote(QStringLiteral("%1 is a form: its egg moves are those of %2, edited there.")
                     .arg(name, QString::fromStdString(
                                    vocabulary::entryName(species::eggSpeciesOf(position) - 1))));
    else
        showNote(kKeepNote);
}

void MovesDialog::showList(int selected) {
    m_table->setRowCount(static_cast<int>(m_words.size()));
    for (std::size_t row = 0; row < m_words.size(); ++row) {
        const species::LevelMove entry = species::levelMoveOf(m_words[row]);
        auto* level = new QTableWidgetItem(QString::number(entry.level));
        level->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(static_cast<int>(row), 0, level);
        m_table->setItem(static_cast<int>(row), 1, new QTableWidgetItem(nameOf(entry.move)));
    }
    if (selected >= 0)
        m_table->selectRow(selected);
    else
        m_table->clearSelection();
    m_remove->setEnabled(m_editsLearnset && selected >= 0);
    m_count->setText(
        QStringLiteral("%1 of %2 moves").arg(m_words.size()).arg(species::kMaxLevelMoves));
}

int MovesDialog::chosenMove(const QComboBox* box) {
    const QString typed = box->currentText().trimmed();
    if (const int found = box->findText(typed, Qt::MatchFixedString); found >= 0)
        return box->itemData(found).toInt();
    // A name as people write it ("Extreme Speed"), or a move's number.
    const base::Result<std::vector<int>> named = species::parseEggMoves(typed.toStdString());
    if (!named.ok() || named.value().size() != 1 || named.value().front() < 1 ||
        named.value().front() > species::kMoveCount)
        return 0;
    return named.value().front();
}

void MovesDialog::showNote(const QString& text) {
    m_note->setText(text);
}

void MovesDialog::addMove() {
    if (!m_add->isEnabled())
        return;
    m_move->completer()->popup()->hide(); // what was typed is taken: the choices are done

    if (m_words.size() >= static_cast<std::size_t>(species::kMaxLevelMoves)) {
        showNote(QStringLiteral("A list holds at most %1 moves: remove one to add another.")
                     .arg(species::kMaxLevelMoves));
        return;
    }
    const int move = chosenMove(m_move);
    if (move == 0) {
        showNote(QStringLiteral("\"%1\" is no move: choose one from the list.")
                     .arg(m_move->currentText().trimmed()));
        m_move->setFocus(Qt::OtherFocusReason);
        return;
    }
    const species::LevelMove entry{m_level->value(), move};
    m_words = species::withMove(species::inLevelOrder(m_words), entry);
    // The row just added: the last of its level.
    int row = 0;
    for (std::size_t i = 0; i < m_words.size(); ++i)
        if (species::levelMoveOf(m_words[i]).level <= entry.level)
            row = static_cast<int>(i);
    showList(row);
    showNote(kKeepNote);
}

void MovesDialog::removeMove() {
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    if (selected.isEmpty() || !m_remove->isEnabled())
        return;
    const auto row = static_cast<std::size_t>(selected.front()->row());
    if (row >= m_words.size())
        return;
    m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(row));
    m_words = species::inLevelOrder(m_words);
    showList(m_words.empty() ? -1 : static_cast<int>(std::min(row, m_words.size() - 1)));
    showNote(kKeepNote);
}

int MovesDialog::freeEggWords() const {
    return m_freeEggWords + species::eggBlockWords(m_eggRead) - species::eggBlockWords(m_eggMoves);
}

void MovesDialog::showEggMoves(int selected) {
    m_eggList->clear();
    for (const int move : m_eggMoves)
        m_eggList->addItem(nameOf(move));
    if (selected >= 0)
        m_eggList->setCurrentRow(selected);
    else
        m_eggList->clearSelection();
    m_removeEgg->setEnabled(m_editsEggMoves && selected >= 0);
    const int free = freeEggWords();
    m_eggRoom->setText(QStringLiteral("%1 of %2 egg moves; %3 %4 free in the game's list")
                           .arg(m_eggMoves.size())
                           .arg(species::kMaxEggMoves)
                           .arg(free)
                           .arg(free == 1 ? QStringLiteral("word") : QStringLiteral("words")));
}

void MovesDialog::addEggMove() {
    if (!m_addEgg->isEnabled())
        return;
    m_eggMove->completer()->popup()->hide();
    const int move = chosenMove(m_eggMove);
    if (move == 0) {
        showNote(QStringLiteral("\"%1\" is no move: choose one from the list.")
                     .arg(m_eggMove->currentText().trimmed()));
        m_eggMove->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (const std::optional<std::string> refused =
            species::eggMoveAddRefusal(m_eggMoves, move, freeEggWords())) {
        showNote(QString::fromStdString(*refused));
        return;
    }
    m_eggMoves.push_back(move);
    showEggMoves(static_cast<int>(m_eggMoves.size()) - 1);
    showNote(kKeepNote);
}

void MovesDialog::removeEggMove() {
    const int row = m_eggList->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_eggMoves.size() || !m_removeEgg->isEnabled())
        return;
    m_eggMoves.erase(m_eggMoves.begin() + row);
    showEggMoves(m_eggMoves.empty() ? -1 : std::min(row, static_cast<int>(m_eggMoves.size()) - 1));
    showNote(kKeepNote);
}

bool MovesDialog::accept() {
    if (m_editsLearnset)
        if (const std::optional<std::string> refused =
                species::learnsetRefusal(m_position, m_read, m_words)) {
            showNote(QString::fromStdString(*refused));
            return false;
        }
    if (m_editsEggMoves)
        if (const std::optional<std::string> refused =
                species::eggMoveRefusal(m_position, m_eggRead, m_eggMoves)) {
            showNote(QString::fromStdString(*refused));
            return false;
        }
    species::ByField<species::Value> values;
    values[species::Field::Learnset] = species::Value::list(m_words);
    values[species::Field::EggMoves] = species::Value::list(m_eggMoves);
    emit accepted(values);
    return true;
}

} // namespace app
