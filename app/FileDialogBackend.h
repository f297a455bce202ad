#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace app {

// What the window asks an open-file dialog to show.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    QStringList nameFilters; // "NDS ROMs (*.nds)"; the first is chosen at the start
    bool existingFileOnly = false;
    bool saving = false; // a file to write: the dialog asks before replacing one
};

struct FileDialogAnswer {
    bool accepted = false;
    QString path; // the full path, exactly as chosen, when accepted
};

// Shows a file dialog and waits for the user. The window gets its file choices through
// this interface so that tests can answer them.
class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    virtual FileDialogAnswer run(const FileDialogRequest& request) = 0;
};

} // namespace app
