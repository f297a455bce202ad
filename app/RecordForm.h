#pragma once

#include "species/Change.h"
#include "species/FieldLayout.h"
#include "species/ImageDocument.h"

#include <QObject>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace app {

class MainWindowUi;

// The main window's controls as a view of the document, for the entry on view: they show what
// the document holds of it, and what is typed or picked goes into the document as an edit not
// saved. A box whose text is no number from 0 to 255 holds no edit: that text is what Save
// refuses. The dialogs' fields go the same way, through the values they hand over.
class RecordForm final : public QObject {
    Q_OBJECT

public:
    explicit RecordForm(const MainWindowUi& ui);

    // The document of the image open, or none.
    void setDocument(species::ImageDocument* document) { m_document = document; }

    // Shows the entry at `position` as the document holds it, hiding the gender list where the
    // entry's rules say so.
    void show(int position);
    // Shows again what the document holds of the entry on view, where a control shows
    // something else, except for a box whose text is no number, which is being typed.
    void refresh();
    // Empties every box and list and shows the lists an entry's rules hid, so nothing of an
    // earlier entry stays on view, its notes included.
    void clear();
    // The entry on view, or -1.
    [[nodiscard]] int position() const { return m_position; }

    // Whether every stat box holds a number from 0 to 255. All ten are checked every time.
    [[nodiscard]] bool statsValid() const;
    // Gives each stat box that holds no number from 0 to 255 a description that says so, for
    // screen readers, and takes it from the others: the first box at fault, or null.
    [[nodiscard]] QLineEdit* markInvalidStats() const;
    // Whether the entry on view has edits not saved: in the document, or a box that holds no
    // number.
    [[nodiscard]] bool hasEdits() const;

    // The values of the fields of `part` (of any kind) of the entry on view, as shown.
    [[nodiscard]] species::ByField<int> values(species::Part part) const;
    // Takes what a dialog hands over for the fields of `part` as edits of the entry on view:
    // the refusals, a line each, if the document's rules refuse them.
    [[nodiscard]] std::vector<std::string> take(species::Part part,
                                                const species::ByField<species::Value>& values);

    // What Save ROM writes: every field of the main window as shown (the window writes all it
    // shows), and the entry's other edits; each from what the disk holds, as read.
    [[nodiscard]] std::vector<species::Change> changesShown() const;

signals:
    // A control changed what the entry on view holds, or whether it has edits.
    void edited();

private:
    void showField(const species::FieldDescriptor& field);
    void showEntry(QComboBox* list, const species::FieldDescriptor& field, int stored);
    void boxEdited(species::Field field);
    void listEdited(species::Field field, int index);

    const MainWindowUi& m_ui;
    species::ImageDocument* m_document = nullptr;
    int m_position = -1;
    bool m_showing = false; // the controls are being filled: what they say is no edit
};

} // namespace app
