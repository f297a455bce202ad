#include "ValueRules.h"

#include "EntryRules.h"
#include "Vocabulary.h"

namespace species {

Lock lockOf(Field field, int position) {
    if (field == Field::Gender && isNoGenderSpecies(position))
        return Lock::Kept;
    return Lock::None;
}

std::optional<int> shownEntry(const FieldDescriptor& field, int stored, nds::Game game) {
    // A word is read as a signed number, as the lists take it: FF FF is -1, no selection.
    const int index = field.isWord() && stored >= 0x8000 ? stored - 0x10000 : stored;
    if (index == -1 || (index >= 0 && index < vocabulary::size(field.list, game)))
        return index;
    return std::nullopt;
}

std::optional<std::string> refusal(const FieldDescriptor& field, int position, long value,
                                   std::string_view written, int current, nds::Game game) {
    const std::string text(written);
    if (field.isNumber() && (value < 0 || value > field.maximum))
        return text + " is not between 0 and " + std::to_string(field.maximum);
    const int size = vocabulary::size(field.list, game);
    if (!field.isNumber() && value != current && (value < 0 || value >= size))
        return text + " is not in its list (0 to " + std::to_string(size - 1) +
               "), and the image holds " + std::to_string(current);
    if (value == current)
        return std::nullopt;
    switch (lockOf(field.field, position)) {
    case Lock::Kept:
        return vocabulary::entryName(position) + " has no gender, so its gender cannot be changed";
    case Lock::None:
        break;
    }
    return std::nullopt;
}

} // namespace species
