#pragma once

namespace files {
class SysIo;
}

namespace app {

class FileDialogBackend;
class Prompter;

// What the main window needs from the world outside it: message boxes, file dialogs and the
// file system. The program passes the real ones; tests pass scripted ones.
struct AppServices {
    Prompter& prompter;
    FileDialogBackend& fileDialogs;
    files::SysIo& io;
};

} // namespace app
