// Arbitrary bytes as an image: identification and the check of its table never crash, and
// identification's answer follows from bytes 12 to 15 alone.
#include "MemoryIo.h"
#include "cli/ImageCheck.h"
#include "files/FileAccess.h"
#include "nds/Identification.h"

#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryIo io(data, size);
    const base::Result<const nds::GameEdition*> found = nds::identifyImage(io, "image.nds");
    if (size < 16 && (found.ok() || found.error().kind != base::Error::Kind::NotAnImage))
        std::abort();
    if (size >= 16) {
        const std::string code(data + 12, data + 16);
        if ((nds::findEdition(code) != nullptr) != found.ok())
            std::abort();
    }
    (void)files::makeOwnerWritable(io, "image.nds");

    // The check reads the tables wherever the header points, for the edition the image names.
    std::ostringstream out, err;
    cli::OpenNotices notices;
    (void)cli::checkImage(cli::Context{out, err, io, [] { return 0; }, notices}, "image.nds");
    return 0;
}
