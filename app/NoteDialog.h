#pragma once

#include "SmallDialog.h"

namespace app {

// One of the Help menu's notes, each a caption and a text in a window of its own size.
struct Note {
    const char* objectName;
    QString caption;
    QSize clientSize;
    QRect okButton;
    QString text;
    QRect textRect;

    // "No Gender?": why the gender ratio of some species cannot be edited.
    [[nodiscard]] static Note noGender();
    // "Read Error?": how the colour and the sprite flag share a byte.
    [[nodiscard]] static Note readErrors();
};

// A note of the Help menu.
class NoteDialog final : public SmallDialog {
    Q_OBJECT

public:
    explicit NoteDialog(const Note& note);
};

} // namespace app
