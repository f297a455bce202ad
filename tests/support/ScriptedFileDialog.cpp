#include "ScriptedFileDialog.h"

FileDialogAnswer ScriptedFileDialog::run(const FileDialogRequest& request) {
    requests.append(request);
    if (answers.isEmpty()) {
        ++unanswered;
        return {};
    }
    return answers.dequeue();
}

void ScriptedFileDialog::choose(const QString& path) {
    answers.enqueue({true, path});
}

void ScriptedFileDialog::cancel() {
    answers.enqueue({});
}
