#include "TableFiles.h"

#include "Background.h"
#include "CompareWindow.h"
#include "EntryTableModel.h"
#include "FileDialogBackend.h"
#include "UiText.h"

#include "ChangeText.h"
#include "FileAccess.h"
#include "Journal.h"
#include "Patch.h"
#include "PatchFormat.h"
#include "TableImport.h"
#include "TableReader.h"
#include "TableWriter.h"
#include "Text.h"

#include <QFile>
#include <QWidget>

namespace {

// A table or a patch is far smaller, as statwright-cli reads them.
constexpr std::int64_t kMaxInputFile = 16 << 20;

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The first of `count` lines a message lists, one a line, and how many more there are.
constexpr std::size_t kListed = 20;
QString listed(const QStringList& lines, std::size_t count) {
    return count > static_cast<std::size_t>(lines.size())
               ? lines.join('\n') + QStringLiteral("\nand %1 more").arg(count - lines.size())
               : lines.join('\n');
}

QString linesOf(const std::vector<std::string>& lines) {
    QStringList joined;
    for (const std::string& line : lines)
        joined << QString::fromStdString(line);
    return joined.join('\n');
}

// The lines of a patch's preview: what it changes, what is applied already, and what keeps it
// from being applied, with the reason.
QStringList previewOf(const std::vector<species::PatchStep>& steps, nds::Game game) {
    QStringList lines;
    for (const species::PatchStep& step : steps) {
        const QString change = QString::fromStdString(
            tables::describeChanges(std::span(&step.change, 1), game).front());
        switch (step.kind) {
        case species::PatchStep::Kind::Change:
            lines << change;
            break;
        case species::PatchStep::Kind::AlreadyApplied:
            lines << change + QStringLiteral(" already applied");
            break;
        case species::PatchStep::Kind::Conflict:
            lines << QStringLiteral("conflict: ") + change + ": " +
                         QString::fromStdString(step.reason);
            break;
        case species::PatchStep::Kind::Missing:
        case species::PatchStep::Kind::Refused:
            lines << (step.kind == species::PatchStep::Kind::Missing
                          ? QStringLiteral("no such entry: ")
                          : QStringLiteral("refused: ")) +
                         change + ": " + QString::fromStdString(step.reason);
            break;
        }
    }
    return lines;
}

} // namespace

TableFiles::TableFiles(AppServices services, EntryTableModel& model, QWidget* owner,
                       std::function<species::EditSession*()> session)
    : m_services(services), m_model(model), m_owner(owner), m_session(std::move(session)) {
}

void TableFiles::say(Prompter::Icon icon, const QString& text) const {
    m_services.prompter.showMessage(m_owner, icon, uitext::programName(), text);
}

int TableFiles::ask(const QString& text, const QString& details,
                    QList<Prompter::Button> buttons) const {
    return m_services.prompter.ask(
        m_owner, Prompter::Question::withCancel(Prompter::Icon::Question, uitext::programName(),
                                                text, std::move(buttons), details));
}

QString TableFiles::chooseFile(const QString& title, const QStringList& filters,
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

std::optional<TableFiles::Read> TableFiles::read(const QString& path) const {
    const base::Result<files::Bytes> bytes =
        files::readWholeFile(m_services.io, localPath(path), kMaxInputFile);
    if (!bytes.ok()) {
        say(Prompter::Icon::Warning, QString::fromStdString(bytes.error().describe()) +
                                         QStringLiteral(" Nothing was staged."));
        return std::nullopt;
    }
    Read file{localPath(path), std::string(bytes.value().begin(), bytes.value().end()), false};
    file.json = tables::startsLikeJson(file.text);
    return file;
}

void TableFiles::refuse(const std::string& name, const std::vector<base::Error>& problems,
                        std::size_t count) const {
    QStringList lines;
    for (base::Error problem : problems) {
        problem.path = name;
        lines << QString::fromStdString(problem.describe());
    }
    say(Prompter::Icon::Warning, QStringLiteral("%1 in %2; nothing was staged.\n\n%3")
                                     .arg(count == 1 ? QStringLiteral("1 problem")
                                                     : QStringLiteral("%1 problems").arg(count))
                                     .arg(QString::fromStdString(base::printable(name)))
                                     .arg(listed(lines, count)));
}

void TableFiles::stage(const std::vector<species::Change>& changes) const {
    const QStringList refused = m_model.stage(changes);
    if (!refused.isEmpty())
        say(Prompter::Icon::Warning,
            QStringLiteral("Nothing was staged:\n\n%1").arg(refused.mid(0, 20).join('\n')));
}

bool TableFiles::refuseEvolutions(const QString& name,
                                  const std::vector<species::Change>& changes) const {
    std::vector<species::Change> evolutions;
    std::copy_if(changes.begin(), changes.end(), std::back_inserter(evolutions),
                 [](const species::Change& change) { return species::isEvolution(change.field); });
    if (evolutions.empty())
        return false;
    const std::vector<std::string> named = tables::describeChanges(evolutions);
    QStringList lines;
    for (std::size_t n = 0; n < named.size() && n < kListed; ++n)
        lines << QString::fromStdString(named[n]);
    say(Prompter::Icon::Warning,
        QStringLiteral("%1 changes evolutions, which this table does not stage; nothing was "
                       "staged. Change them with Edit › Evolutions... in the main window, or "
                       "with statwright-cli.\n\n%2")
            .arg(name, listed(lines, named.size())));
    return true;
}

void TableFiles::importTable(const QString& path) {
    const std::optional<Read> file = read(path);
    if (!file)
        return;
    const QString name = QString::fromStdString(base::printable(file->name));
    if (tables::kindOf(file->text) == tables::FileKind::Patch) {
        say(Prompter::Icon::Warning,
            name + QStringLiteral(" is a patch: File › Apply Patch... reads it. Nothing was "
                                  "staged."));
        return;
    }
    // A large table takes a moment to plan: the window stays live, and Cancel stops it.
    tables::ImportPlan plan;
    const std::vector<species::Record> records = m_model.shownRecords();
    const std::vector<species::Record> evolutions = m_model.evolutionRecords();
    const nds::Game game = m_model.game();
    if (!runInBackground(m_owner, QStringLiteral("Reading %1...").arg(name),
                         [&](const std::atomic<bool>& cancelled) {
                             const tables::InputTable input =
                                 file->json ? tables::readJsonTable(file->text)
                                            : tables::readCsvTable(file->text);
                             plan = tables::planImport(input, records, game, evolutions,
                                                       [&] { return cancelled.load(); });
                         }))
        return;
    if (!plan.problems.empty())
        return refuse(file->name, plan.problems.shown(), plan.problems.count());
    if (refuseEvolutions(name, plan.changes))
        return;
    if (plan.changes.empty()) {
        say(Prompter::Icon::Information,
            name + QStringLiteral(" holds the values shown: nothing to stage."));
        return;
    }
    if (ask(QStringLiteral("Stage the changes of %1?").arg(name),
            linesOf(tables::describeChanges(plan.changes, game)), {{QStringLiteral("Stage")}}) == 0)
        stage(plan.changes);
}

void TableFiles::applyPatch(const QString& path) {
    const std::optional<Read> file = read(path);
    if (!file)
        return;
    const QString name = QString::fromStdString(base::printable(file->name));
    if (tables::kindOf(file->text) == tables::FileKind::Table) {
        say(Prompter::Icon::Warning,
            name + QStringLiteral(" is a table: File › Import Table... reads it. Nothing was "
                                  "staged."));
        return;
    }
    tables::PatchInput input;
    std::vector<species::PatchStep> steps;
    const std::vector<species::Record> records = m_model.shownRecords();
    const std::vector<species::Record> evolutions = m_model.evolutionRecords();
    const nds::Game game = m_model.game();
    if (!runInBackground(
            m_owner, QStringLiteral("Reading %1...").arg(name), [&](const std::atomic<bool>&) {
                input = file->json ? tables::readJsonPatch(file->text)
                                   : tables::readCsvPatch(file->text);
                if (input.problems.empty())
                    steps = species::judgePatch(input.patch, records, game, evolutions);
            }))
        return;
    if (!input.problems.empty())
        return refuse(file->name, input.problems.shown(), input.problems.count());
    if (refuseEvolutions(name, species::changesToMake(steps, true)))
        return;
    const bool blocked = std::any_of(steps.begin(), steps.end(),
                                     [](const auto& step) { return species::blocks(step, false); });
    QList<Prompter::Button> buttons{{QStringLiteral("Apply"), QMessageBox::NoButton, !blocked}};
    if (blocked)
        buttons.append({QStringLiteral("Apply Anyway")});
    const int chosen = ask(QStringLiteral("Apply %1 to the values shown?").arg(name),
                           previewOf(steps, game).join('\n'), buttons);
    if (chosen == 0 && !blocked)
        stage(species::changesToMake(steps, false));
    else if (chosen == 1 && blocked)
        stage(species::changesToMake(steps, true));
}

void TableFiles::exportTable() {
    species::EditSession* session = m_session();
    if (!session || !session->edition())
        return;
    const QString path = chooseFile(
        QStringLiteral("Export Table"),
        {QStringLiteral("CSV tables (*.csv)"), QStringLiteral("JSON tables (*.json)")}, true);
    if (path.isEmpty())
        return;
    std::vector<species::Record> records = m_model.diskRecords();
    if (m_model.stagedEntries() > 0) {
        const int chosen =
            ask(QStringLiteral("Export the values on disk, or the values shown "
                               "with the changes staged here?"),
                {}, {{QStringLiteral("Values on Disk")}, {QStringLiteral("Values Shown")}});
        if (chosen == 2)
            return;
        if (chosen == 1)
            records = m_model.shownRecords();
    }
    const std::string text = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)
                                 ? tables::toJson(*session->edition(), records)
                                 : tables::toCsv(records, m_model.game());
    if (const base::Status written = files::replaceFile(m_services.io, localPath(path),
                                                        files::Bytes(text.begin(), text.end()));
        !written.ok())
        say(Prompter::Icon::Warning, QString::fromStdString(written.error().describe()));
}

void TableFiles::compare() {
    species::EditSession* session = m_session();
    if (!session || !session->edition())
        return;
    const QString path = chooseFile(QStringLiteral("Compare with Image"),
                                    {QStringLiteral("NDS ROMs (*.nds)")}, false);
    if (path.isEmpty())
        return;
    // Read only, under a shared lock: a journal beside it is told of, and nothing recovered.
    species::EditSession other(m_services.io, localPath(path));
    const base::Result<species::TableRead> table = other.readAll(files::Access::Inspect);
    if (!table.ok()) {
        say(Prompter::Icon::Warning, QString::fromStdString(table.error().describe()) +
                                         QStringLiteral(" It was not compared."));
        return;
    }
    auto* window = new CompareWindow(
        m_services,
        {*session->edition(), files::lastName(session->path()), m_model.shownRecords(),
         m_model.evolutionRecords()},
        {*other.edition(), files::lastName(localPath(path)), table.value().entries,
         table.value().evolutions},
        [this](const std::vector<species::Change>& values) { stage(values); }, m_owner);
    window->show();
}

void TableFiles::dropped(const QString& path) {
    const std::optional<Read> file = read(path);
    if (!file)
        return;
    switch (tables::kindOf(file->text)) {
    case tables::FileKind::Patch:
        return applyPatch(path);
    case tables::FileKind::Table:
        return importTable(path);
    case tables::FileKind::Unknown:
        break;
    }
    say(Prompter::Icon::Warning,
        QString::fromStdString(base::printable(file->name)) +
            QStringLiteral(" is neither a table nor a patch, so nothing was staged."));
}
