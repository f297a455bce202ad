#include "ScriptedFileDialog.h"

FileDialogAnswer ScriptedFileDialog::run(const FileDialogRequest& request) {
    requests.append(request);
    if (answers.isEmpty()) {
        ++unanswered;
        return {};
    }
    return answers.dequeue();
}

void ScriptedFileDialog::choose(const QString& path, int filterIndex) {
    answers.enqueue({true, path, filterIndex});
}

void ScriptedFileDialog::cancel() {
    answers.enqueue({});
}
