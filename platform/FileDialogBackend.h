#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog is asked to show, in the toolkit's terms.
struct FileDialogRequest {
    enum class Kind { Open, Save };

    Kind kind = Kind::Open;
    QWidget* owner = nullptr;
    QString title;
    QString initialDirectory; // a folder, or a file whose folder is meant; may be empty
    QString fileName;         // preset name (save dialogs)
    QStringList nameFilters;  // "NDS ROMs (*.nds)"
    int selectedFilter = 1;   // 1-based position in nameFilters
    bool existingFileOnly = false;
    bool confirmOverwrite = false;
    QString defaultSuffix; // without the dot
};

struct FileDialogAnswer {
    bool accepted = false;
    QString path;        // full path when accepted
    int filterIndex = 0; // 1-based position of the filter chosen when accepted
};

// Shows a file dialog and waits for the user. The window gets its file choices through this
// interface so that tests can answer them.
class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    virtual FileDialogAnswer run(const FileDialogRequest& request) = 0;
};
