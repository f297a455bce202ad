#pragma once

#include "AppServices.h"
#include "EditSession.h"
#include "Prompter.h"

#include <QString>

#include <functional>
#include <string>

class EntryTableModel;
class QWidget;

// What the table window does with files: a table imported and a patch applied as staged
// values, each after a preview and judged against the values shown, as statwright-cli judges
// them; the table exported; and another image compared with this one. Nothing here writes the
// image: staged values wait for Save Changes.
class TableFiles {
public:
    TableFiles(AppServices services, EntryTableModel& model, QWidget* owner,
               std::function<species::EditSession*()> session);

    void importTable(const QString& path);
    void applyPatch(const QString& path);
    void exportTable();
    void compare();
    // A file dropped on the table: a patch is applied, a table imported, anything else refused.
    void dropped(const QString& path);

    // The path a file dialog chose, or an empty one.
    [[nodiscard]] QString chooseFile(const QString& title, const QStringList& filters,
                                     bool saving) const;

private:
    struct Read {
        std::string name; // as messages name it
        std::string text;
        bool json = false;
    };
    [[nodiscard]] std::optional<Read> read(const QString& path) const;
    void say(Prompter::Icon icon, const QString& text) const;
    [[nodiscard]] int ask(const QString& text, const QString& details,
                          QList<Prompter::Button> buttons) const;
    // Lists the problems of a file, as statwright-cli lists them, and stages nothing.
    void refuse(const std::string& name, const std::vector<base::Error>& problems,
                std::size_t count) const;
    void stage(const std::vector<species::Change>& changes) const;
    // The table stages base stats only: a file that would change evolutions is refused, with
    // the changes named, rather than staged in part. True when it was refused.
    [[nodiscard]] bool refuseEvolutions(const QString& name,
                                        const std::vector<species::Change>& changes) const;

    AppServices m_services;
    EntryTableModel& m_model;
    QWidget* m_owner;
    std::function<species::EditSession*()> m_session;
};
