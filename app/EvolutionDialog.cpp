#include "EvolutionDialog.h"

#include "DropDownList.h"
#include "UiText.h"

#include "base/Text.h"
#include "species/EvolutionRules.h"
#include "species/Vocabulary.h"

#include <QLabel>
#include <QPushButton>

namespace app {

using species::EvolutionParameter;
using species::Field;
using species::SlotPart;

namespace {

constexpr int kRowTop = 28;
constexpr int kRowHeight = 28;

Field fieldOf(int slot, SlotPart part) {
    return species::evolution(slot, part);
}

// The value a list stands for: its entry's, or what the image holds when no entry can show it.
int valueOf(const QComboBox* list, int kept) {
    return list->currentIndex() >= 0 ? list->currentData().toInt() : kept;
}

// Selects the entry of `value`, or none, with "Value N" in its place.
void select(QComboBox* list, int value) {
    const int entry = list->findData(value);
    list->setPlaceholderText(entry >= 0 ? QString() : QStringLiteral("Value %1").arg(value));
    list->setCurrentIndex(entry);
}

void addSpecies(QComboBox* list) {
    for (int number = 1; number <= species::kLastSpecies; ++number)
        list->addItem(QString::fromStdString(vocabulary::entryName(number - 1)), number);
}

} // namespace

EvolutionDialog::EvolutionDialog(int position, const species::ByField<int>& values, nds::Game game)
    : EntryDialog(QStringLiteral("Evolutions: %1")
                      .arg(QString::fromStdString(vocabulary::entryName(position))),
                  {600, 330}, {424, 296, 81, 25}, {species::Part::Evolution}),
      m_game(game), m_position(position), m_values(values) {
    setObjectName(QStringLiteral("dlgEvolutions"));
    setFont(uitext::controlFont());
    addLabel("lblEvoMethod", QStringLiteral("Method"), {28, 8, 220, 17}, false);
    addLabel("lblEvoParam", QStringLiteral("Parameter"), {256, 8, 170, 17}, false);
    addLabel("lblEvoTarget", QStringLiteral("Evolves into"), {434, 8, 158, 17}, false);
    for (int slot = 0; slot < species::kEvolutionSlots; ++slot)
        buildRow(slot);
    m_note = addLabel("lblEvoNote", QString(), {8, 232, 584, 56}, true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(511, 296, 81, 25);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    okButton()->setObjectName(QStringLiteral("cmdOK"));

    if (position >= species::kFirstUnevolvingPosition) {
        for (const Row& row : m_rows)
            for (QComboBox* list : {row.method, row.parameter, row.target})
                list->setEnabled(false);
        okButton()->setEnabled(false);
        m_note->setText(QString::fromStdString(vocabulary::entryName(position)) +
                        QStringLiteral(" is no species of its own: the game reads no evolutions "
                                       "for it, so they cannot be edited here."));
        return;
    }
    showNote();
}

void EvolutionDialog::buildRow(int slot) {
    const QString number = QString::number(slot + 1);
    auto* caption = addLabel("", number, {8, kRowTop + slot * kRowHeight + 3, 16, 17}, false);
    Row& row = m_rows[static_cast<std::size_t>(slot)];
    const auto list = [&](const char* name, int x, int width, const QString& spoken) {
        auto* made = new DropDownList(this);
        made->setObjectName(QLatin1String(name) + number);
        made->setGeometry(x, kRowTop + slot * kRowHeight, width, 22);
        made->setAccessibleName(spoken.arg(number));
        made->setMaxVisibleItems(20);
        return made;
    };
    row.method = list("cmbEvoMethod", 28, 220, QStringLiteral("Evolution %1: method"));
    row.parameter = list("cmbEvoParam", 256, 170, QStringLiteral("Evolution %1: parameter"));
    row.target = list("cmbEvoTarget", 434, 158, QStringLiteral("Evolution %1: evolves into"));
    caption->setBuddy(row.method);

    for (int method = 0; method < species::kEvolutionMethods; ++method)
        row.method->addItem(QString::fromStdString(species::methodName(method)), method);
    row.target->addItem(QStringLiteral("(none)"), 0);
    addSpecies(row.target);

    const int method = m_values[fieldOf(slot, SlotPart::Method)];
    select(row.method, method);
    fillParameter(slot, m_values[fieldOf(slot, SlotPart::Parameter)]);
    select(row.target, m_values[fieldOf(slot, SlotPart::Target)]);
    connect(row.method, &QComboBox::currentIndexChanged, this,
            [this, slot] { methodChosen(slot); });
}

int EvolutionDialog::methodOf(int slot) const {
    return valueOf(m_rows[static_cast<std::size_t>(slot)].method,
                   m_values[fieldOf(slot, SlotPart::Method)]);
}

void EvolutionDialog::fillParameter(int slot, int stored) {
    Row& row = m_rows[static_cast<std::size_t>(slot)];
    QComboBox* list = row.parameter;
    list->clear();
    row.keptParameter = stored;
    const auto numbers = [list](int from, int to) {
        for (int n = from; n <= to; ++n)
            list->addItem(QString::number(n), n);
    };
    switch (species::parameterOf(methodOf(slot))) {
    case EvolutionParameter::Level:
        numbers(1, species::kMaxLevel);
        break;
    case EvolutionParameter::Beauty:
        numbers(0, 255);
        break;
    case EvolutionParameter::Item:
        for (int item = 1; item < vocabulary::size(vocabulary::List::Items, m_game); ++item)
            list->addItem(QString::fromStdString(std::string(base::trimmed(
                              *vocabulary::text(vocabulary::List::Items, item, m_game)))),
                          item);
        break;
    case EvolutionParameter::Move:
        for (int move = 1; move <= species::kMoveCount; ++move)
            list->addItem(uitext::fromUtf8(vocabulary::moves()[static_cast<std::size_t>(move)]),
                          move);
        break;
    case EvolutionParameter::Species:
        addSpecies(list);
        break;
    case EvolutionParameter::None:
        break;
    }
    list->setEnabled(list->count() > 0);
    if (list->count() == 0) {
        // Nothing to choose: 0 is stored, or what the image holds, kept as it is.
        list->setPlaceholderText(stored == 0 ? QString() : QStringLiteral("Value %1").arg(stored));
        list->setCurrentIndex(-1);
        return;
    }
    select(list, stored);
}

void EvolutionDialog::methodChosen(int slot) {
    Row& row = m_rows[static_cast<std::size_t>(slot)];
    // A new method starts its parameter again: from the first entry of the kind it takes.
    fillParameter(slot, 0);
    if (row.parameter->count() > 0)
        row.parameter->setCurrentIndex(0);
    if (methodOf(slot) == 0)
        select(row.target, 0);
    showNote();
}

void EvolutionDialog::showNote() {
    QStringList notes;
    for (int slot = 0; slot < species::kEvolutionSlots; ++slot) {
        const int method = methodOf(slot);
        QComboBox* list = m_rows[static_cast<std::size_t>(slot)].method;
        const bool never = species::neverTriggered(method, m_game);
        list->setToolTip(never ? QStringLiteral("No map of this game triggers this method.")
                               : QString());
        list->setAccessibleDescription(list->toolTip());
        if (never)
            notes << QStringLiteral("Evolution %1: no map of this game triggers \"%2\", so it "
                                    "never happens.")
                         .arg(slot + 1)
                         .arg(QString::fromStdString(species::methodName(method)));
    }
    m_note->setText(notes.isEmpty() ? QStringLiteral("OK keeps these values for the entry; Save "
                                                     "ROM writes them with its base stats.")
                                    : notes.join(QLatin1Char(' ')));
}

bool EvolutionDialog::accept() {
    species::ByField<int> values = m_values;
    species::Record before;
    species::Record after;
    for (const species::FieldDescriptor& field : species::evolutionLayout())
        before.set(field.field, m_values[field.field]);
    for (int slot = 0; slot < species::kEvolutionSlots; ++slot) {
        const Row& row = m_rows[static_cast<std::size_t>(slot)];
        values[fieldOf(slot, SlotPart::Method)] = methodOf(slot);
        values[fieldOf(slot, SlotPart::Parameter)] = valueOf(row.parameter, row.keptParameter);
        values[fieldOf(slot, SlotPart::Target)] =
            valueOf(row.target, m_values[fieldOf(slot, SlotPart::Target)]);
    }
    for (const species::FieldDescriptor& field : species::evolutionLayout())
        after.set(field.field, values[field.field]);
    // The slots are judged as import and apply judge them; a used slot without a species to
    // evolve into is what the lists here let happen, and is said in the dialog's own words.
    for (int slot = 0; slot < species::kEvolutionSlots; ++slot) {
        const std::optional<std::string> refused =
            species::slotRefusal(before, after, slot, m_position, m_game);
        if (!refused)
            continue;
        const Row& row = m_rows[static_cast<std::size_t>(slot)];
        const bool noTarget = values[fieldOf(slot, SlotPart::Method)] != 0 &&
                              values[fieldOf(slot, SlotPart::Target)] == 0;
        m_note->setText(noTarget ? QStringLiteral("Evolution %1 has a method but no species to "
                                                  "evolve into: choose one, or set its method to "
                                                  "(none).")
                                       .arg(slot + 1)
                                 : QString::fromStdString(*refused));
        (noTarget ? row.target : row.parameter)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    handOver(values);
    return true;
}

} // namespace app
