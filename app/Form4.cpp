#include "Form4.h"

Form4::Form4() : HelpDialog(QStringLiteral("Read Error?"), {295, 112}, {168, 80, 105, 25}) {
    setObjectName(QStringLiteral("Form4"));
    addLabel("Label1",
             QStringLiteral("You may recieve a Read Error on a Pokémon's PokéDex colour "
                            "selection. This is due to the program reading the data for this "
                            "piece of information incorrectly. To avoid any in-game glitches, "
                            "editing the colour of these Pokémon is currently disabled."),
             {8, 8, 281, 97}, true);
}
