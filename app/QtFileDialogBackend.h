#pragma once

#include "FileDialogBackend.h"

// The toolkit's own modal open-file dialog.
class QtFileDialogBackend final : public FileDialogBackend {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override;
};
