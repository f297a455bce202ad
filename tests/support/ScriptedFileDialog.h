#pragma once

#include "app/FileDialogBackend.h"

#include <QList>
#include <QQueue>

using app::FileDialogAnswer;
using app::FileDialogBackend;
using app::FileDialogRequest;

// Answers file dialogs from a queue and remembers what each was asked to show. A dialog with
// no answer queued is cancelled and counted, so a test can tell.
class ScriptedFileDialog final : public FileDialogBackend {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override;

    void choose(const QString& path);
    void cancel();

    QQueue<FileDialogAnswer> answers;
    QList<FileDialogRequest> requests;
    int unanswered = 0;
};
