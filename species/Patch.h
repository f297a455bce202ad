#pragma once

#include "Change.h"
#include "EntryRules.h"
#include "FieldLayout.h"
#include "Record.h"
#include "Tables.h"

#include "nds/GameEdition.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A stat patch: the changes that turned one image's table into another, field by field, to be
// carried to other images, of any game or region, that still hold the old values.
namespace species {

// The changes of a patch name each entry by its list position (the same in every game) and
// its name in the species list, which patches carry to catch shifted rows.
struct Patch {
    std::string code;            // the game code of the image the patch was made from
    std::string title;           // its title
    std::vector<Change> changes; // by position, then field
};

// The most changes a patch can hold: every field of every entry of the largest table.
inline constexpr std::size_t kMaxPatchChanges = std::size_t{kAllEntries} * kFieldCount;

// The field a patch names: a column of the exported table but tm_hm ("hp", "ev_hp",
// "flip"), a TM or HM flag of its own ("tm01" to "tm92", "hm01" to "hm08"), or a field of
// another kind of record ("evo1_method" to "evo7_target").
[[nodiscard]] std::optional<Field> patchField(std::string_view name);

// The changes that turn the tables `before` into `after`, for the kinds and entries that both
// have, as each kind carries them (an evolution slot whole); by position, then field.
[[nodiscard]] std::vector<Change> changesBetween(const Tables& before, const Tables& after);

// The patch that turns the tables `before` into `after`, made from an image of `edition`.
[[nodiscard]] Patch patchBetween(const nds::GameEdition& edition, const Tables& before,
                                 const Tables& after);

// What applying one change to an image finds.
struct PatchStep {
    enum class Verdict {
        Change,         // the image holds the old value: the change is to be made
        AlreadyApplied, // the image holds the new value already
        Conflict,       // the image holds another value, or the flag teaches another move
        Missing,        // the image has no such entry
        Refused,        // the new value may not be stored in this image
    };
    Verdict verdict = Verdict::Change;
    // The patch's change; or one the patch implies: emptying the parameter and target of an
    // evolution slot whose method it sets to 0.
    Change change;
    Value found;        // what the image holds (not for Missing)
    std::string reason; // why, for Conflict, Missing and Refused
};

// Whether `step` keeps a patch from being applied: an entry the image lacks, a value it may
// not hold, or a conflict, unless the user forces the patch over conflicts.
[[nodiscard]] bool blocks(const PatchStep& step, bool force);
// The changes that applying the judged patch makes: those to be made, and the conflicts when
// forced; each from what the image holds.
[[nodiscard]] std::vector<Change> changesToMake(std::span<const PatchStep> steps, bool force);

// A patch judged against an image, as apply and the table window's Apply Patch judge it.
struct PatchVerdict {
    std::vector<PatchStep> steps;      // by position, then field
    std::vector<Change> changes;       // what applying it makes, as changesToMake() gives
    std::vector<std::size_t> blocking; // the steps that keep it from being applied
    std::size_t already = 0;           // the changes the image holds already

    [[nodiscard]] bool blocked() const { return !blocking.empty(); }
};

// Judges every change of `patch` against the tables of an image of `game`, as they are now:
// each entry's record of a kind judged whole as the patch would leave it, by the kind's rules,
// and completed as the window completes an edit (steps of their own). An image without a
// kind's table cannot take its changes. With `force`, conflicts do not block it.
[[nodiscard]] PatchVerdict judgePatch(const Patch& patch, const Tables& tables, nds::Game game,
                                      bool force = false);

} // namespace species
