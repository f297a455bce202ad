#include "SaveQuestions.h"

#include "UiText.h"

namespace app {

SaveAnswer askToSave(Prompter& prompter, QWidget* owner, const QString& named) {
    switch (prompter.ask(owner, Prompter::Question::withCancel(
                                    Prompter::Icon::Question, uitext::programName(),
                                    QStringLiteral("Save the changes to %1?").arg(named),
                                    {{QStringLiteral("Save"), QMessageBox::Save},
                                     {QStringLiteral("Discard"), QMessageBox::Discard}}))) {
    case 0:
        return SaveAnswer::Save;
    case 1:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

QString layoutSentence(const std::string& change) {
    return QStringLiteral("Before this is written, %1.").arg(QString::fromStdString(change));
}

std::optional<species::SaveOutcome> saveAsking(species::ImageDocument& document,
                                               const std::string& label, const SaveRound& round) {
    while (true) {
        base::Result<species::SaveOutcome> outcome = document.save(round.batch(), label);
        round.opened();
        if (!outcome.ok()) {
            round.failed(outcome.error());
            return std::nullopt;
        }
        if (outcome.value().saved())
            return std::move(outcome).value();
        if (!round.overwrite(outcome.value()))
            return std::nullopt;
        // What the disk holds now is what the next round overwrites.
        document.takeFromDisk(outcome.value());
    }
}

std::optional<species::SaveOutcome> undoAsking(species::ImageDocument& document,
                                               const std::string& label, const SaveRound& round) {
    bool overwrite = false;
    while (true) {
        base::Result<species::SaveOutcome> outcome = document.undo(label, overwrite);
        round.opened();
        if (!outcome.ok()) {
            round.failed(outcome.error());
            return std::nullopt;
        }
        if (outcome.value().saved())
            return std::move(outcome).value();
        if (!round.overwrite(outcome.value()))
            return std::nullopt;
        overwrite = true;
    }
}

} // namespace app
