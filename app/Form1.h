#pragma once

#include "AppServices.h"
#include "Form1Ui.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class HelpDialog;
class RecordForm;

namespace files {
struct Error;
}
namespace nds {
struct GameEdition;
}
namespace species {
struct TablePlace;
}

// The main window. Every action is the handler of a menu command or of the species list.
// Between commands it keeps only the image it works on and where the shown record lies;
// the controls are the only copy of the record being edited.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(AppServices services, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] const QString& RomPath() const { return m_RomPath; }
    [[nodiscard]] const QString& GameCode() const { return m_GameCode; }
    [[nodiscard]] qint16 ListPos() const { return m_ListPos; }
    [[nodiscard]] const QString& RecordBase() const { return m_RecordBase; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openRom();
    void acceptImage(const QString& path, const nds::GameEdition& edition);
    void loadSpecies(int row);
    void enableEditing();
    void saveSpecies();
    // An image that is no regular file, or whose table cannot be found, gets a warning;
    // anything else is a file error.
    void reportFailure(const files::Error& error);
    void showTablePlace(const species::TablePlace& place);
    void showHelpDialog(HelpDialog* dialog);
    [[nodiscard]] bool takesInput() const;

    AppServices m_services;
    Form1Ui m_ui;
    std::unique_ptr<RecordForm> m_record;
    QPointer<HelpDialog> m_dialog;

    QString m_RomPath;    // the image the species commands work on
    QString m_GameCode;   // its four-character code
    qint16 m_ListPos = 0; // the list position of the shown record
    QString m_RecordBase; // decimal file offset of record 0 of the shown record's table
};
