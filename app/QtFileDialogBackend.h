#pragma once

#include "FileDialogBackend.h"

namespace app {

// The toolkit's own modal open-file dialog.
class QtFileDialogBackend final : public FileDialogBackend {
public:
    FileDialogAnswer run(const FileDialogRequest& request) override;
};

} // namespace app
