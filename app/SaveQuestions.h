#pragma once

#include "Prompter.h"

#include "species/Change.h"
#include "species/ImageDocument.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

// The questions every view of the document asks around a save: one place for each.
namespace app {

// "Save the changes to Garchomp?" (or "to 3 entries?"), before edits not saved would be
// dropped: Save (the default), Discard, and Cancel, which Escape chooses.
enum class SaveAnswer { Save, Discard, Cancel };
[[nodiscard]] SaveAnswer askToSave(Prompter& prompter, QWidget* owner, const QString& named);

// What a save that changes the image's layout (`change`, from the document) says before it is
// written: "Before this is written, the learnset archive ... once."
[[nodiscard]] QString layoutSentence(const std::string& change);

// What a save asks when another program changed what it would write, and what it does then.
struct SaveRound {
    // The changes to write, made afresh each round from what the document holds.
    std::function<std::vector<species::Change>()> batch;
    // Asked with the image closed, so other programs are not kept waiting on the answer:
    // whether to overwrite the change `conflict` found.
    std::function<bool(const species::SaveOutcome& conflict)> overwrite;
    // Told after every attempt: what the opening found (recoveries, missing locks).
    std::function<void()> opened;
    // Told when the save fails: nothing was written.
    std::function<void(const base::Error&)> failed;
};

// Saves `round.batch()` through the document; where another program changed an entry since it
// was read, asks, and on Overwrite takes what the disk holds as read and tries again, as often
// as it changes meanwhile. What was written, or nothing when the user cancelled or the save
// failed (which was told).
[[nodiscard]] std::optional<species::SaveOutcome>
saveAsking(species::ImageDocument& document, const std::string& label, const SaveRound& round);

// Undo Save through the document: asks first, through `round.overwrite`, if the image no
// longer holds what the save wrote.
[[nodiscard]] std::optional<species::SaveOutcome>
undoAsking(species::ImageDocument& document, const std::string& label, const SaveRound& round);

} // namespace app
