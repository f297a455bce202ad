#include "QtFileDialogBackend.h"

#include <QFileDialog>
#include <QFileInfo>

FileDialogAnswer QtFileDialogBackend::run(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title);
    const bool opening = request.kind == FileDialogRequest::Kind::Open;
    dialog.setAcceptMode(opening ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.existingFileOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilters(request.nameFilters);
    if (request.selectedFilter >= 1 && request.selectedFilter <= request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter - 1));
    dialog.setDefaultSuffix(request.defaultSuffix);

    // A file given as the starting place opens its folder with the file selected.
    const QFileInfo start(request.initialDirectory);
    if (!request.initialDirectory.isEmpty() && start.isFile()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    } else if (!request.initialDirectory.isEmpty()) {
        dialog.setDirectory(request.initialDirectory);
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    answer.path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    answer.filterIndex =
        static_cast<int>(request.nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
    return answer;
}
