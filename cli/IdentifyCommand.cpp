#include "Commands.h"
#include "LoadedImage.h"

#include "TableLocation.h"
#include "Text.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

class IdentifyCommand final : public Command {
public:
    std::string_view name() const override { return "identify"; }
    std::string_view summary() const override {
        return "the game code, title, language and where the table is";
    }
    std::string explanation() const override {
        return R"(Prints the game code read at offset 12 of IMAGE, the game's title and language, and
where its base-stat table is: the archive of the image's file system that the game
reads, or, in an image without a file system, the edition's fixed base. Exit status 1
when the image is not supported or its table cannot be found, with the reason.
)";
    }
    void declare(CLI::App& command) override { command.add_option("IMAGE", m_image)->required(); }

    base::Status run(const Context& context) override {
        base::Result<OpenImage> image = openImage(context, m_image, files::Access::Read);
        if (!image.ok())
            return image.error();
        const nds::GameEdition& edition = *image.value().edition;
        context.out << "code: " << edition.code << "\ntitle: " << edition.title
                    << "\nlanguage: " << edition.language << "\n";
        const base::Result<species::TablePlace> place =
            species::findTable(image.value().file, edition);
        if (!place.ok())
            return place.error();
        const std::int64_t base = place.value().base;
        context.out << "record base: " << base::hexNumber(base) << " (" << base << ")\n";
        if (place.value().archive.empty())
            context.out << "table: at the fixed base of " << edition.code
                        << ", as the image has no file system\n";
        else
            context.out << "table: " << place.value().archive << " at " << base::hexNumber(base)
                        << ", " << place.value().entries << " entries\n";
        return {};
    }

private:
    std::string m_image;
};

} // namespace

std::unique_ptr<Command> makeIdentifyCommand() {
    return std::make_unique<IdentifyCommand>();
}

} // namespace cli
