#include "Commands.h"
#include "ImageAccess.h"

#include "base/Text.h"
#include "species/ImageDocument.h"

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
        species::ImageDocument document(context.io, m_image);
        const base::Result<species::ImageReport> report = document.open();
        tellNotes(context, document);
        if (!report.ok())
            return report.error();
        const nds::GameEdition& edition = *report.value().edition;
        context.out << "code: " << edition.code << "\ntitle: " << edition.title
                    << "\nlanguage: " << edition.language << "\n";
        const species::KindTable& stats = report.value().table(species::Kind::BaseStats);
        if (!stats.place)
            return *stats.missing;
        const species::TablePlace& place = *stats.place;
        context.out << "record base: " << base::hexNumber(place.base) << " (" << place.base
                    << ")\n";
        if (place.archive.empty())
            context.out << "table: at the fixed base of " << edition.code
                        << ", as the image has no file system\n";
        else
            context.out << "table: " << place.archive << " at " << base::hexNumber(place.base)
                        << ", " << place.entries << " entries\n";
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
