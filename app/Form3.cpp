#include "Form3.h"

Form3::Form3() : HelpDialog(QStringLiteral("No Gender?"), {295, 106}, {168, 72, 105, 25}) {
    setObjectName(QStringLiteral("Form3"));
    addLabel("Label1",
             QStringLiteral("You will be unable to edit Pokémon that are pre-programmed to have "
                            "no gender. This is because if the gender is changed, the sprite "
                            "in-game will glitch, and result in bad graphics."),
             {8, 8, 281, 65}, true);
}
