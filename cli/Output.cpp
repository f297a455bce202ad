#include "Output.h"

#include "files/FileAccess.h"

namespace cli {

base::Status outputApartFrom(const Context& context, const std::string& output,
                             std::initializer_list<std::string> images) {
    files::FileStatus written;
    if (isStandardOutput(output) || context.io.status(output, written) != 0)
        return {};
    for (const std::string& image : images) {
        files::FileStatus read;
        if (context.io.status(image, read) == 0 && read.sameFile(written))
            return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                                   "'" + output + "' is the image itself; nothing was written");
    }
    return {};
}

base::Status writeOutput(const Context& context, const std::string& output,
                         const std::string& text) {
    if (isStandardOutput(output)) {
        context.out << text;
        return {};
    }
    base::Status written =
        files::replaceFile(context.io, output, files::Bytes(text.begin(), text.end()));
    if (!written.ok() && written.error().kind == base::Error::Kind::NotOwner)
        written.error().reason += ". To write into it in place, as its owner would have it, "
                                  "give -o - and a shell redirection into it";
    return written;
}

} // namespace cli
