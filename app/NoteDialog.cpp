#include "NoteDialog.h"

namespace app {

Note Note::noGender() {
    return {"Form3",
            QStringLiteral("No Gender?"),
            {295, 106},
            {168, 72, 105, 25},
            QStringLiteral("You will be unable to edit Pokémon that are pre-programmed to have no "
                           "gender. This is because if the gender is changed, the sprite in-game "
                           "will glitch, and result in bad graphics."),
            {8, 8, 281, 65}};
}

Note Note::readErrors() {
    return {"Form4",
            QStringLiteral("Read Error?"),
            {295, 112},
            {168, 80, 105, 25},
            QStringLiteral("Some Pokémon keep a sprite flag in the same byte as their PokéDex "
                           "colour. Statwright reads the colour apart from the flag and keeps the "
                           "flag when it saves, so every colour can be edited."),
            {8, 8, 281, 97}};
}

NoteDialog::NoteDialog(const Note& note)
    : SmallDialog(note.caption, note.clientSize, note.okButton) {
    setObjectName(QLatin1String(note.objectName));
    addLabel("Label1", note.text, note.textRect, true);
}

} // namespace app
