#include "EvTmDialog.h"

#include "UiText.h"
#include "species/Vocabulary.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

namespace app {

namespace {

using species::Field;

// The EV yields in three rows of two, as the main window places the base stats.
struct EvPlace {
    Field field;
    const char* name;
    QPoint at;
};
constexpr EvPlace kEvs[] = {
    {Field::EvHp, "spnEvHp", {16, 24}},
    {Field::EvAttack, "spnEvAttack", {184, 24}},
    {Field::EvDefense, "spnEvDefense", {16, 52}},
    {Field::EvSpeed, "spnEvSpeed", {184, 52}},
    {Field::EvSpAttack, "spnEvSpAttack", {16, 80}},
    {Field::EvSpDefense, "spnEvSpDefense", {184, 80}},
};

QString captionOf(Field field) {
    return uitext::fromUtf8(species::descriptor(field).caption);
}

} // namespace

EvTmDialog::EvTmDialog(const QString& entry, const species::ByField<int>& values, nds::Game game)
    : EntryDialog(QStringLiteral("EV Yield and TM/HM: %1").arg(entry), {360, 452},
                  {184, 418, 81, 25},
                  {species::Part::EvYield, species::Part::SpriteFlag, species::Part::TmHm}) {
    setObjectName(QStringLiteral("EvTmDialog"));
    setFont(uitext::controlFont());
    buildEvYield(values);
    buildTmHm(values, game);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setGeometry(271, 418, 81, 25);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    okButton()->setObjectName(QStringLiteral("cmdOK"));
}

void EvTmDialog::buildEvYield(const species::ByField<int>& values) {
    auto* frame = new QGroupBox(QStringLiteral("EV Yield"), this);
    frame->setObjectName(QStringLiteral("frmEvYield"));
    frame->setGeometry(8, 8, 344, 112);
    for (const EvPlace& place : kEvs) {
        auto* caption = new QLabel(captionOf(place.field), frame);
        caption->setGeometry(place.at.x(), place.at.y() + 2, 80, 17);
        auto* box = new QSpinBox(frame);
        box->setObjectName(QLatin1String(place.name));
        box->setGeometry(place.at.x() + 88, place.at.y(), 56, 21);
        box->setRange(0, species::descriptor(place.field).maximum);
        box->setValue(values[place.field]);
        box->setAccessibleName(QStringLiteral("EV yield: %1").arg(captionOf(place.field)));
        caption->setBuddy(box);
        m_evs[place.field] = box;
    }
    m_flip = new QCheckBox(captionOf(Field::Flip), this);
    m_flip->setObjectName(QStringLiteral("chkFlip"));
    m_flip->setGeometry(16, 128, 328, 20);
    m_flip->setChecked(values[Field::Flip] != 0);
    m_flip->setToolTip(QStringLiteral("Set: the game does not mirror this species' sprite. It "
                                      "lives in the byte of the PokéDex colour."));
}

void EvTmDialog::buildTmHm(const species::ByField<int>& values, nds::Game game) {
    auto* frame = new QGroupBox(QStringLiteral("TM/HM Compatibility"), this);
    frame->setObjectName(QStringLiteral("frmTmHm"));
    frame->setGeometry(8, 156, 344, 252);
    m_filter = new QLineEdit(frame);
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setGeometry(8, 22, 328, 21);
    m_filter->setPlaceholderText(QStringLiteral("Filter: a number or a move"));
    m_filter->setAccessibleName(QStringLiteral("Filter the TMs and HMs"));
    m_tmHm = new QListWidget(frame);
    m_tmHm->setObjectName(QStringLiteral("lstTmHm"));
    m_tmHm->setGeometry(8, 50, 328, 194);
    m_tmHm->setAccessibleName(QStringLiteral("TMs and HMs this species can learn"));
    m_tmHm->setUniformItemSizes(true);
    for (int n = 0; n < species::kTmHmCount; ++n) {
        const Field field = species::tmHm(n);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 %2").arg(captionOf(field),
                                        uitext::fromUtf8(vocabulary::tmHmMove(n, game))),
            m_tmHm);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(values[field] != 0 ? Qt::Checked : Qt::Unchecked);
    }
    connect(m_filter, &QLineEdit::textChanged, this, &EvTmDialog::filter);
}

void EvTmDialog::filter(const QString& text) {
    for (int row = 0; row < m_tmHm->count(); ++row)
        m_tmHm->item(row)->setHidden(
            !m_tmHm->item(row)->text().contains(text.trimmed(), Qt::CaseInsensitive));
}

bool EvTmDialog::accept() {
    species::ByField<int> values;
    for (const EvPlace& place : kEvs)
        values[place.field] = m_evs[place.field]->value();
    values[Field::Flip] = m_flip->isChecked() ? 1 : 0;
    for (int n = 0; n < species::kTmHmCount; ++n)
        values[species::tmHm(n)] = m_tmHm->item(n)->checkState() == Qt::Checked ? 1 : 0;
    handOver(values);
    return true;
}

} // namespace app
