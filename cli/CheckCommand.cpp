#include "Commands.h"
#include "ImageCheck.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

class CheckCommand final : public Command {
public:
    std::string_view name() const override { return "check"; }
    std::string_view summary() const override {
        return "validates the archive the game reads its table from";
    }
    std::string explanation() const override {
        return R"(Looks up, in the image's own file system, the archive that the game reads its base-stat
table from, and confirms that it is a NARC archive whose members 1 to 500 (to 507 in
Platinum, HeartGold and SoulSilver) are 44-byte records back to back. It also says where
the edition's fixed base lies: in that archive, in another file, or in no file. A missing
or malformed archive fails the check (exit status 1), and so does an evolution archive that
the image has but that is damaged, or not a file of its own (two names of one file, or bytes
shared with another file): nothing is written into such an image. The same holds for the
learnset archive: a member longer than 44 bytes, or a list without its end mark, fails the
check. Lists the game reads otherwise than they look (moves out of level order, a level or
move out of range) are named without failing, and so is an archive written anew with room
for 20 moves in every list. It says where the game's list of egg moves lies and how many of
the words the game scans are free, and names the species with more than 16 egg moves. An
image without a file system is reported as unverifiable
(exit status 0): its table is read at the edition's fixed base.
A journal left beside IMAGE by an interrupted save or import is recovered first, and the
report's first line says what it held.
)";
    }
    void declare(CLI::App& command) override { command.add_option("IMAGE", m_image)->required(); }

    base::Status run(const Context& context) override {
        const base::Result<CheckReport> checked = checkImage(context, m_image);
        if (!checked.ok())
            return checked.error();
        context.out << checked.value().text;
        if (checked.value().verdict == CheckReport::Verdict::NotFound)
            return checked.value().problem;
        return {};
    }

private:
    std::string m_image;
};

} // namespace

std::unique_ptr<Command> makeCheckCommand() {
    return std::make_unique<CheckCommand>();
}

} // namespace cli
