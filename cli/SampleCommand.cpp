#include "Commands.h"

#include "files/FileAccess.h"
#include "nds/GameEdition.h"
#include "species/SampleImage.h"

#include "base/Text.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

class SampleCommand final : public Command {
public:
    std::string_view name() const override { return "sample"; }
    std::string_view summary() const override {
        return "writes a small demo image with made-up values";
    }
    std::string explanation() const override {
        return R"(Writes a small image to OUT for trying Statwright out: a header with CODE (ADAE, the
default, or the code of any region of Diamond, Pearl, Platinum, HeartGold or SoulSilver),
and a real file system whose archive, where that game reads it, holds made-up values
computed from each entry's position, not data taken from a game. Never replaces an
existing file.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("OUT", m_output)->required();
        command.add_option("-c,--code", m_code)->type_name("CODE");
    }

    base::Status run(const Context& context) override {
        // Game codes are read without regard to case: cpue is CPUE.
        std::string code = m_code;
        for (char& c : code)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        const nds::GameEdition* edition = nds::findEdition(code);
        if (!edition) {
            return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                                   "--code is the game code of an image of Diamond (ADA?), "
                                   "Pearl (APA?), Platinum (CPU?), HeartGold (IPK?) or "
                                   "SoulSilver (IPG?), not '" +
                                       m_code + "'");
        }
        if (base::Status written =
                files::writeNewFile(context.io, m_output, species::sampleImage(*edition));
            !written.ok())
            return written;
        context.out << "wrote " << base::printable(m_output) << ": an image coded " << edition->code
                    << " with made-up values, for trying Statwright out\n";
        return {};
    }

private:
    std::string m_output;
    std::string m_code = "ADAE";
};

} // namespace

std::unique_ptr<Command> makeSampleCommand() {
    return std::make_unique<SampleCommand>();
}

} // namespace cli
