#include "QtFileDialogBackend.h"

#include <QFileDialog>
#include <QFileInfo>

namespace app {

FileDialogAnswer QtFileDialogBackend::run(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title);
    dialog.setAcceptMode(request.saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.existingFileOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);

    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    answer.path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    return answer;
}

} // namespace app
