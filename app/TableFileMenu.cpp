#include "TableFileMenu.h"

#include "Background.h"
#include "CompareWindow.h"
#include "EntryTableModel.h"
#include "FileDialogBackend.h"
#include "UiText.h"

#include "base/Text.h"
#include "files/FileAccess.h"
#include "files/Journal.h"
#include "species/ImageDocument.h"
#include "species/Patch.h"
#include "species/RecordKinds.h"
#include "tables/ChangeText.h"
#include "tables/PatchFormat.h"
#include "tables/TableImport.h"
#include "tables/TableReader.h"
#include "tables/TableWriter.h"

#include <QFile>
#include <QWidget>

namespace app {

namespace {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QStringList linesOf(const std::vector<std::string>& lines) {
    QStringList joined;
    for (const std::string& line : lines)
        joined << QString::fromStdString(line);
    return joined;
}

} // namespace

TableFileMenu::TableFileMenu(AppServices services, EntryTableModel& model, QWidget* owner)
    : m_services(services), m_model(model), m_owner(owner) {
}

void TableFileMenu::say(Prompter::Icon icon, const QString& text) const {
    m_services.prompter.showMessage(m_owner, icon, uitext::programName(), text);
}

int TableFileMenu::ask(const QString& text, const QString& details,
                       QList<Prompter::Button> buttons) const {
    return m_services.prompter.ask(
        m_owner, Prompter::Question::withCancel(Prompter::Icon::Question, uitext::programName(),
                                                text, std::move(buttons), details));
}

QString TableFileMenu::chooseFile(const QString& title, const QStringList& filters,
                                  bool saving) const {
    FileDialogRequest request;
    request.owner = m_owner;
    request.title = title;
    request.nameFilters = filters;
    request.existingFileOnly = !saving;
    request.saving = saving;
    const FileDialogAnswer answer = m_services.fileDialogs.run(request);
    return answer.accepted ? answer.path : QString();
}

std::optional<tables::ChangeFile> TableFileMenu::read(const QString& path) const {
    base::Result<tables::ChangeFile> file = tables::readChangeFile(m_services.io, localPath(path));
    if (!file.ok()) {
        say(Prompter::Icon::Warning, QString::fromStdString(file.error().describe()) +
                                         QStringLiteral(" Nothing was staged."));
        return std::nullopt;
    }
    return std::move(file).value();
}

void TableFileMenu::refuse(const std::string& name, const std::vector<base::Error>& problems,
                           std::size_t count) const {
    QStringList lines;
    for (base::Error problem : problems) {
        problem.path = name;
        lines << QString::fromStdString(problem.describe());
    }
    say(Prompter::Icon::Warning,
        QStringLiteral("%1 in %2; nothing was staged.\n\n%3")
            .arg(uitext::counted(qsizetype(count), QStringLiteral("problem"),
                                 QStringLiteral("problems")),
                 QString::fromStdString(base::printable(name)),
                 uitext::listed(lines, qsizetype(count))));
}

void TableFileMenu::stage(const std::vector<species::Change>& changes) const {
    const QStringList refused = m_model.stage(changes);
    if (!refused.isEmpty())
        say(Prompter::Icon::Warning,
            QStringLiteral("Nothing was staged:\n\n%1").arg(uitext::listed(refused)));
}

bool TableFileMenu::refuseHidden(const QString& name,
                                 const std::vector<species::Change>& changes) const {
    std::vector<species::Change> hidden;
    std::copy_if(
        changes.begin(), changes.end(), std::back_inserter(hidden),
        [](const species::Change& change) { return !EntryTableModel::shows(change.field); });
    if (hidden.empty())
        return false;
    QString kinds;
    for (const species::Change& change : hidden) {
        const QString title =
            uitext::fromUtf8(species::recordKindOf(change.field).title()).toLower();
        if (!kinds.split(QStringLiteral(" and ")).contains(title))
            kinds += (kinds.isEmpty() ? QString() : QStringLiteral(" and ")) + title;
    }
    say(Prompter::Icon::Warning,
        QStringLiteral("%1 changes %2, which this table does not stage; nothing was staged. "
                       "Change them in the main window's Edit menu, or with statwright-cli.\n\n%3")
            .arg(name, kinds, uitext::listed(linesOf(tables::describeChanges(hidden)))));
    return true;
}

void TableFileMenu::importTable(const QString& path) {
    if (const std::optional<tables::ChangeFile> file = read(path))
        importTable(*file);
}

void TableFileMenu::importTable(const tables::ChangeFile& file) {
    const QString name = QString::fromStdString(base::printable(file.name));
    if (file.kind == tables::FileKind::Patch) {
        say(Prompter::Icon::Warning,
            name + QStringLiteral(" is a patch: File › Apply Patch... reads it. Nothing was "
                                  "staged."));
        return;
    }
    // A large table takes a moment to plan: the window stays live, and Cancel stops it.
    tables::ImportPlan plan;
    const species::Tables shown = m_model.document()->tables();
    const nds::Game game = m_model.game();
    if (!runInBackground(m_owner, QStringLiteral("Reading %1...").arg(name),
                         [&](const std::atomic<bool>& cancelled) {
                             const tables::InputTable input = file.json
                                                                  ? tables::readJsonTable(file.text)
                                                                  : tables::readCsvTable(file.text);
                             plan = tables::planImport(input, shown, game,
                                                       [&] { return cancelled.load(); });
                         }))
        return;
    if (!plan.problems.empty())
        return refuse(file.name, plan.problems.shown(), plan.problems.count());
    if (refuseHidden(name, plan.changes))
        return;
    if (plan.changes.empty()) {
        say(Prompter::Icon::Information,
            name + QStringLiteral(" holds the values shown: nothing to stage."));
        return;
    }
    if (ask(QStringLiteral("Stage the changes of %1?").arg(name),
            linesOf(tables::describeChanges(plan.changes, game)).join('\n'),
            {{QStringLiteral("Stage")}}) == 0)
        stage(plan.changes);
}

void TableFileMenu::applyPatch(const QString& path) {
    if (const std::optional<tables::ChangeFile> file = read(path))
        applyPatch(*file);
}

void TableFileMenu::applyPatch(const tables::ChangeFile& file) {
    const QString name = QString::fromStdString(base::printable(file.name));
    if (file.kind == tables::FileKind::Table) {
        say(Prompter::Icon::Warning,
            name + QStringLiteral(" is a table: File › Import Table... reads it. Nothing was "
                                  "staged."));
        return;
    }
    tables::PatchInput input;
    species::PatchVerdict verdict;
    const species::Tables shown = m_model.document()->tables();
    const nds::Game game = m_model.game();
    if (!runInBackground(m_owner, QStringLiteral("Reading %1...").arg(name),
                         [&](const std::atomic<bool>&) {
                             input = file.json ? tables::readJsonPatch(file.text)
                                               : tables::readCsvPatch(file.text);
                             if (input.problems.empty())
                                 verdict = species::judgePatch(input.patch, shown, game);
                         }))
        return;
    if (!input.problems.empty())
        return refuse(file.name, input.problems.shown(), input.problems.count());
    if (refuseHidden(name, species::changesToMake(verdict.steps, true)))
        return;
    QStringList preview;
    for (const species::PatchStep& step : verdict.steps)
        preview << QString::fromStdString(tables::describeStep(step, game));
    const bool blocked = verdict.blocked();
    QList<Prompter::Button> buttons{{QStringLiteral("Apply"), QMessageBox::NoButton, !blocked}};
    if (blocked)
        buttons.append({QStringLiteral("Apply Anyway")});
    const int chosen =
        ask(QStringLiteral("Apply %1 to the values shown?").arg(name), preview.join('\n'), buttons);
    if (chosen == 0 && !blocked)
        stage(verdict.changes);
    else if (chosen == 1 && blocked)
        stage(species::changesToMake(verdict.steps, true));
}

void TableFileMenu::exportTable() {
    species::ImageDocument* document = m_model.document();
    if (!document || !document->edition())
        return;
    const QString path = chooseFile(
        QStringLiteral("Export Table"),
        {QStringLiteral("CSV tables (*.csv)"), QStringLiteral("JSON tables (*.json)")}, true);
    if (path.isEmpty())
        return;
    std::vector<species::Record> records = document->table(species::Kind::BaseStats).records;
    if (!document->pending().empty()) {
        const int chosen =
            ask(QStringLiteral("Export the values on disk, or the values shown "
                               "with the changes staged here?"),
                {}, {{QStringLiteral("Values on Disk")}, {QStringLiteral("Values Shown")}});
        if (chosen == 2)
            return;
        if (chosen == 1)
            records = document->records(species::Kind::BaseStats);
    }
    const std::string text = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)
                                 ? tables::toJson(*document->edition(), records)
                                 : tables::toCsv(records, m_model.game());
    if (const base::Status written = files::replaceFile(m_services.io, localPath(path),
                                                        files::Bytes(text.begin(), text.end()));
        !written.ok())
        say(Prompter::Icon::Warning, QString::fromStdString(written.error().describe()));
}

void TableFileMenu::compare() {
    species::ImageDocument* document = m_model.document();
    if (!document || !document->edition())
        return;
    const QString path = chooseFile(QStringLiteral("Compare with Image"),
                                    {QStringLiteral("NDS ROMs (*.nds)")}, false);
    if (path.isEmpty())
        return;
    // Read only, under a shared lock: a journal beside it is told of, and nothing recovered.
    species::ImageDocument other(m_services.io, localPath(path));
    const base::Result<species::ImageReport> opened = other.open(files::Access::Inspect);
    const base::Error* failure = !opened.ok() ? &opened.error()
                                 : !opened.value().table(species::Kind::BaseStats).place
                                     ? &*opened.value().table(species::Kind::BaseStats).missing
                                     : nullptr;
    if (failure) {
        say(Prompter::Icon::Warning,
            QString::fromStdString(failure->describe()) + QStringLiteral(" It was not compared."));
        return;
    }
    auto* window = new CompareWindow(
        m_services, {*document->edition(), files::lastName(document->path()), document->tables()},
        {*other.edition(), files::lastName(localPath(path)), other.tables()},
        [this](const std::vector<species::Change>& values) { stage(values); }, m_owner);
    window->show();
}

void TableFileMenu::dropped(const QString& path) {
    const std::optional<tables::ChangeFile> file = read(path);
    if (!file)
        return;
    switch (file->kind) {
    case tables::FileKind::Patch:
        return applyPatch(*file);
    case tables::FileKind::Table:
        return importTable(*file);
    case tables::FileKind::Unknown:
        break;
    }
    say(Prompter::Icon::Warning,
        QString::fromStdString(base::printable(file->name)) +
            QStringLiteral(" is neither a table nor a patch, so nothing was staged."));
}

} // namespace app
