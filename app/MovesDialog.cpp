#include "MovesDialog.h"

#include "UiText.h"

#include "species/EvolutionRules.h"
#include "species/LearnsetRules.h"
#include "species/Vocabulary.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace app {

namespace {

const QString kKeepNote =
    QStringLiteral("OK keeps this list for the entry; Save ROM writes it with its base stats.");

QString nameOf(int move) {
    return QString::fromStdString(species::moveName(move));
}

} // namespace

MovesDialog::MovesDialog(int position, const species::Value& learnset)
    : EntryDialog(
          QStringLiteral("Moves: %1").arg(QString::fromStdString(vocabulary::entryName(position))),
          {440, 400}, {264, 366, 81, 25}, {species::Part::Learnset}),
      m_position(position), m_read(learnset.items()), m_words(m_read) {
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
    m_move->setEditable(true);
    m_move->setInsertPolicy(QComboBox::NoInsert);
    m_move->setMaxVisibleItems(20);
    for (int move = 1; move <= species::kMoveCount; ++move)
        m_move->addItem(nameOf(move), move);
    // Typing finds a move by any part of its name.
    m_move->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_move->completer()->setFilterMode(Qt::MatchContains);
    m_move->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_move->setAccessibleName(QStringLiteral("Move to add"));
    moveCaption->setBuddy(m_move);

    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("btnAddMove"));
    m_add->setGeometry(300, 126, 132, 25);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("btnRemoveMove"));
    m_remove->setGeometry(300, 158, 132, 25);

    m_count = addLabel("lblMoveCount", QString(), {8, 296, 280, 17}, false);
    m_note = addLabel("lblMovesNote", QString(), {8, 318, 424, 40}, true);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(351, 366, 81, 25);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    okButton()->setObjectName(QStringLiteral("cmdOK"));

    connect(m_add, &QPushButton::clicked, this, &MovesDialog::addMove);
    connect(m_move->lineEdit(), &QLineEdit::returnPressed, this, &MovesDialog::addMove);
    connect(m_remove, &QPushButton::clicked, this, &MovesDialog::removeMove);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_table->selectedItems().isEmpty()); });

    showList(-1);
    if (species::hasNoLearnset(position)) {
        for (QWidget* control : std::initializer_list<QWidget*>{m_level, m_move, m_add, m_remove})
            control->setEnabled(false);
        okButton()->setEnabled(false);
        showNote(QString::fromStdString(vocabulary::entryName(position)) +
                 QStringLiteral(" is no species of its own: the game reads no level-up moves "
                                "for it, so they cannot be edited here."));
        return;
    }
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
    m_remove->setEnabled(selected >= 0);
    m_count->setText(
        QStringLiteral("%1 of %2 moves").arg(m_words.size()).arg(species::kMaxLevelMoves));
}

int MovesDialog::chosenMove() const {
    const QString typed = m_move->currentText().trimmed();
    const int found = m_move->findText(typed, Qt::MatchFixedString);
    return found >= 0 ? m_move->itemData(found).toInt() : 0;
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
    const int move = chosenMove();
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

bool MovesDialog::accept() {
    if (const std::optional<std::string> refused =
            species::learnsetRefusal(m_position, m_read, m_words)) {
        showNote(QString::fromStdString(*refused));
        return false;
    }
    species::ByField<species::Value> values;
    values[species::Field::Learnset] = species::Value::list(m_words);
    emit accepted(values);
    return true;
}

} // namespace app
