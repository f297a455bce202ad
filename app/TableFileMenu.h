#pragma once

#include "AppServices.h"
#include "Prompter.h"

#include "species/Change.h"
#include "tables/ChangeFile.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace app {

class EntryTableModel;

// The table window's File menu, less its saving: a table imported and a patch applied as
// staged values, each after a preview and judged against the values shown, as statwright-cli
// judges them; the table exported; and another image compared with this one. Nothing here
// writes the image: staged values wait for Save Changes.
class TableFileMenu {
public:
    TableFileMenu(AppServices services, EntryTableModel& model, QWidget* owner);

    void importTable(const QString& path);
    void applyPatch(const QString& path);
    void exportTable();
    void compare();
    // A file dropped on the table, read once: a patch is applied, a table imported, anything
    // else refused.
    void dropped(const QString& path);

    // The path a file dialog chose, or an empty one.
    [[nodiscard]] QString chooseFile(const QString& title, const QStringList& filters,
                                     bool saving) const;

private:
    [[nodiscard]] std::optional<tables::ChangeFile> read(const QString& path) const;
    void importTable(const tables::ChangeFile& file);
    void applyPatch(const tables::ChangeFile& file);
    void say(Prompter::Icon icon, const QString& text) const;
    [[nodiscard]] int ask(const QString& text, const QString& details,
                          QList<Prompter::Button> buttons) const;
    // Lists the problems of a file, as statwright-cli lists them, and stages nothing.
    void refuse(const std::string& name, const std::vector<base::Error>& problems,
                std::size_t count) const;
    void stage(const std::vector<species::Change>& changes) const;
    // The table stages the fields its columns show: a file that would change others (an
    // entry's evolutions) is refused, with the changes named, rather than staged in part. True
    // when it was refused.
    [[nodiscard]] bool refuseHidden(const QString& name,
                                    const std::vector<species::Change>& changes) const;

    AppServices m_services;
    EntryTableModel& m_model;
    QWidget* m_owner;
};

} // namespace app
