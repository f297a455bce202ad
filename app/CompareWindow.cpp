#include "CompareWindow.h"

#include "EntryTableModel.h"
#include "FileDialogBackend.h"
#include "Prompter.h"
#include "UiText.h"

#include "base/Text.h"
#include "files/FileAccess.h"
#include "species/Comparison.h"
#include "species/EvolutionRules.h"
#include "species/Patch.h"
#include "species/ValueRules.h"
#include "species/Vocabulary.h"
#include "tables/ChangeLog.h"
#include "tables/PatchFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {

enum Role { ChangeRole = Qt::UserRole };

} // namespace

CompareWindow::CompareWindow(AppServices services, Image mine, Image theirs, Stage stage,
                             QWidget* parent)
    : QDialog(parent), m_services(services), m_mine(std::move(mine)), m_theirs(std::move(theirs)),
      m_stage(std::move(stage)), m_tree(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("compareWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Compare %1 with %2 (%3, %4)")
                       .arg(QString::fromStdString(base::printable(m_mine.name)),
                            QString::fromStdString(base::printable(m_theirs.name)),
                            uitext::fromUtf8(m_theirs.edition.title),
                            uitext::fromUtf8(m_theirs.edition.code)));
    auto* layout = new QVBoxLayout(this);
    QString headingText = QString::fromStdString(log(false).substr(0, log(false).find('\n')));
    for (const std::string& note : notCompared())
        headingText += '\n' + QString::fromStdString(note);
    auto* heading = new QLabel(headingText, this);
    heading->setObjectName(QStringLiteral("lblCompareHeading"));
    heading->setWordWrap(true);
    layout->addWidget(heading);
    m_tree->setObjectName(QStringLiteral("treeCompare"));
    m_tree->setAccessibleName(QStringLiteral("Changes"));
    m_tree->setHeaderHidden(true);
    layout->addWidget(m_tree);
    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const char* name, const QString& text, auto slot) {
        QPushButton* button = buttons->addButton(text, QDialogButtonBox::ActionRole);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, slot);
    };
    add("btnCopy", QStringLiteral("Copy"), [this] { copy(); });
    add("btnSaveAs", QStringLiteral("Save As..."), [this] { saveAs(); });
    add("btnStage", QStringLiteral("Stage These Values"), [this] { stageTicked(); });
    connect(buttons->addButton(QDialogButtonBox::Close), &QPushButton::clicked, this,
            &QWidget::close);
    layout->addWidget(buttons);
    fill();
    resize(560, 480);
}

std::vector<std::string> CompareWindow::notCompared() const {
    return species::notCompared(m_mine.tables, m_mine.name, m_theirs.tables, m_theirs.name);
}

std::size_t CompareWindow::entriesOf(const Image& image) {
    return image.tables.at(species::Kind::BaseStats).size();
}

std::string CompareWindow::log(bool markdown) const {
    return tables::changeLog(m_mine.edition, m_mine.tables, m_theirs.edition, m_theirs.tables,
                             markdown ? tables::LogFormat::Markdown : tables::LogFormat::Text,
                             notCompared());
}

void CompareWindow::fill() {
    m_changes = species::changesBetween(m_mine.tables, m_theirs.tables);
    QTreeWidgetItem* entry = nullptr;
    for (std::size_t i = 0; i < m_changes.size(); ++i) {
        const species::Change& change = m_changes[i];
        // A slot's three changes make one line, at its method.
        if (species::isEvolution(change.field) &&
            species::slotPartOf(change.field) != species::SlotPart::Method)
            continue;
        if (!entry || entry->data(0, ChangeRole).toInt() != change.position) {
            entry = new QTreeWidgetItem(
                m_tree, {QStringLiteral("%1 %2")
                             .arg(change.position + 1)
                             .arg(QString::fromStdString(vocabulary::entryName(change.position)))});
            entry->setData(0, ChangeRole, change.position);
            entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
            entry->setCheckState(0, Qt::Checked);
            entry->setExpanded(true);
        }
        auto* line = new QTreeWidgetItem(entry, {lineOf(change)});
        line->setData(0, ChangeRole, int(i));
        line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
        line->setCheckState(0, Qt::Checked);
    }
    if (m_changes.empty())
        new QTreeWidgetItem(m_tree, {QStringLiteral("No differences.")});
}

QString CompareWindow::lineOf(const species::Change& change) const {
    if (!species::isEvolution(change.field))
        return QString::fromStdString(
            tables::describeChange(change, m_mine.edition.game, m_theirs.edition.game));
    const std::vector<std::string> lines =
        tables::entryLines(std::span(&change, 1), m_mine.tables, m_mine.edition.game,
                           m_theirs.tables, m_theirs.edition.game);
    return lines.empty() ? QString() : QString::fromStdString(lines.front());
}

void CompareWindow::copy() const {
    QApplication::clipboard()->setText(QString::fromStdString(log(false)));
}

void CompareWindow::saveAs() {
    FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("Save the Comparison As");
    request.nameFilters = {QStringLiteral("Text (*.txt)"), QStringLiteral("Markdown (*.md)"),
                           QStringLiteral("CSV patch (*.csv)"),
                           QStringLiteral("JSON patch (*.json)")};
    request.saving = true;
    const FileDialogAnswer answer = m_services.fileDialogs.run(request);
    if (!answer.accepted)
        return;
    const QString path = answer.path.toLower();
    const species::Patch patch =
        species::patchBetween(m_mine.edition, m_mine.tables, m_theirs.tables);
    const std::string text = path.endsWith(".md")     ? log(true)
                             : path.endsWith(".csv")  ? tables::patchToCsv(patch)
                             : path.endsWith(".json") ? tables::patchToJson(patch)
                                                      : log(false);
    if (const base::Status written =
            files::replaceFile(m_services.io, QFile::encodeName(answer.path).toStdString(),
                               files::Bytes(text.begin(), text.end()));
        !written.ok())
        m_services.prompter.showMessage(this, Prompter::Icon::Warning, uitext::programName(),
                                        QString::fromStdString(written.error().describe()));
}

void CompareWindow::stageTicked() {
    std::vector<species::Change> values;
    QStringList skipped;
    for (int e = 0; e < m_tree->topLevelItemCount(); ++e)
        for (int f = 0; f < m_tree->topLevelItem(e)->childCount(); ++f) {
            const QTreeWidgetItem* line = m_tree->topLevelItem(e)->child(f);
            if (line->checkState(0) != Qt::Checked)
                continue;
            const species::Change& change =
                m_changes[static_cast<std::size_t>(line->data(0, ChangeRole).toInt())];
            // The table stages the fields its columns show; the others are the main window's.
            if (!EntryTableModel::shows(change.field)) {
                skipped << QString::fromStdString(vocabulary::entryLabel(change.position)) +
                               QStringLiteral(": ") + line->text(0) +
                               QStringLiteral(" (change it in the main window's Edit menu)");
                continue;
            }
            // Values this image's game cannot hold are left out, as apply leaves them out.
            if (const std::optional<std::string> why =
                    species::refusal(species::descriptor(change.field), change.position,
                                     change.after.number(), std::to_string(change.after.number()),
                                     change.before.number(), m_mine.edition.game))
                skipped << QString::fromStdString(vocabulary::entryName(change.position)) + ": " +
                               QString::fromStdString(*why);
            else
                values.push_back(change);
        }
    const std::size_t mine = entriesOf(m_mine);
    const std::size_t theirs = entriesOf(m_theirs);
    if (theirs > mine)
        skipped << QStringLiteral("%1 entries of the other image, from position %2, are not in "
                                  "this one")
                       .arg(theirs - mine)
                       .arg(mine);
    m_stage(values);
    if (!skipped.isEmpty())
        m_services.prompter.showMessage(
            this, Prompter::Icon::Information, uitext::programName(),
            QStringLiteral("%1 staged; left out:\n\n%2")
                .arg(uitext::counted(qsizetype(values.size()), QStringLiteral("value"),
                                     QStringLiteral("values")),
                     uitext::listed(skipped)));
}

} // namespace app
