#pragma once

#include "Change.h"
#include "EntryRules.h"
#include "FieldLayout.h"
#include "Record.h"

#include "GameEdition.h"

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
// "flip"), a TM or HM flag of its own ("tm01" to "tm92", "hm01" to "hm08"), or a field of an
// evolution slot ("evo1_method" to "evo7_target").
[[nodiscard]] std::optional<Field> patchField(std::string_view name);

// The patch that turns the entries `before` into `after`, made from an image of `edition`;
// only entries that both have. With the evolution records of both, the evolution slots that
// differ go in too, each whole.
[[nodiscard]] Patch patchBetween(const nds::GameEdition& edition, std::span<const Record> before,
                                 std::span<const Record> after,
                                 std::span<const Record> evolutionsBefore = {},
                                 std::span<const Record> evolutionsAfter = {});

// What applying one change to an image finds.
struct PatchStep {
    enum class Kind {
        Change,         // the image holds the old value: the change is to be made
        AlreadyApplied, // the image holds the new value already
        Conflict,       // the image holds another value, or the flag teaches another move
        Missing,        // the image has no such entry
        Refused,        // the new value may not be stored in this image
    };
    Kind kind = Kind::Change;
    // The patch's change; or one the patch implies: emptying the parameter and target of an
    // evolution slot whose method it sets to 0.
    Change change;
    int found = 0;      // what the image holds (not for Missing)
    std::string reason; // why, for Conflict, Missing and Refused
};

// Judges every change of `patch` against the entries of an image of `game`, as they are now,
// by position, then field. Changes of evolution slots are judged against `evolutions`, each
// slot whole as the patch would leave it; an image without them (none given) cannot take them.
[[nodiscard]] std::vector<PatchStep> judgePatch(const Patch& patch, std::span<const Record> entries,
                                                nds::Game game,
                                                std::span<const Record> evolutions = {});

// Whether `step` keeps a patch from being applied: an entry the image lacks, a value it may
// not hold, or a conflict, unless the user forces the patch over conflicts.
[[nodiscard]] bool blocks(const PatchStep& step, bool force);
// The changes that applying the judged patch makes: those to be made, and the conflicts when
// forced; each from what the image holds.
[[nodiscard]] std::vector<Change> changesToMake(std::span<const PatchStep> steps, bool force);

} // namespace species
