#pragma once

#include "AppServices.h"

#include "species/Change.h"
#include "species/Record.h"
#include "species/Tables.h"

#include "nds/GameEdition.h"

#include <QDialog>

#include <functional>
#include <vector>

class QTreeWidget;

namespace app {

// The change log between the image open (as the table shows it) and another image, in a window
// of its own: every entry that differs with a line for each field, to copy, to save as text,
// Markdown or a patch, or to take into the table as staged values, for the entries and fields
// left ticked.
class CompareWindow final : public QDialog {
    Q_OBJECT

public:
    struct Image {
        nds::GameEdition edition;
        std::string name; // the file's, as the user knows it
        species::Tables tables;
    };
    using Stage = std::function<void(const std::vector<species::Change>&)>;

    CompareWindow(AppServices services, Image mine, Image theirs, Stage stage, QWidget* parent);

private:
    void fill();
    void copy() const;
    void saveAs();
    void stageTicked();
    [[nodiscard]] std::string log(bool markdown) const;
    // The line of the tree for `change`; for an evolution slot, the slot before and after.
    [[nodiscard]] QString lineOf(const species::Change& change) const;
    // The kinds of records only one image has, which were not compared.
    [[nodiscard]] std::vector<std::string> notCompared() const;
    // How many entries an image's base-stat table has.
    [[nodiscard]] static std::size_t entriesOf(const Image& image);

    AppServices m_services;
    Image m_mine;
    Image m_theirs;
    Stage m_stage;
    // From mine to theirs, entries both have: the base stats field by field, and each evolution
    // slot that differs with its three fields.
    std::vector<species::Change> m_changes;
    QTreeWidget* m_tree;
};

} // namespace app
