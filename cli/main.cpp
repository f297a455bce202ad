#include "Cli.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

// The arguments as UTF-16, made UTF-8 as the rest of the program reads every name; the console
// shows UTF-8, and standard streams carry bytes as they are, without line ends made CRLF.
int wmain(int argc, wchar_t* argv[]) {
    ::SetConsoleOutputCP(CP_UTF8);
    for (const int fd : {0, 1, 2})
        ::_setmode(fd, _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
        arguments.push_back(std::move(argument));
    }
    std::ios::sync_with_stdio(false);
    return cli::runOnStandardStreams(arguments);
}
#else
int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    return cli::runOnStandardStreams(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
