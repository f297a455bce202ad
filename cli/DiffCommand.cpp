#include "Commands.h"
#include "ImportPlan.h"
#include "LoadedImage.h"
#include "Wording.h"

#include "Vocabulary.h"

#include <CLI/CLI.hpp>

#include <set>

namespace cli {
namespace {

class DiffCommand final : public Command {
public:
    std::string_view name() const override { return "diff"; }
    std::string_view summary() const override { return "the fields that differ, entry by entry"; }
    std::string_view explanation() const override {
        return R"(Prints every field that differs between the two images as "Species: field a -> b".
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("IMAGE_A", m_first)->required();
        command.add_option("IMAGE_B", m_second)->required();
    }

    files::Status run(const Context& context) override {
        files::Result<std::vector<species::Record>> a = entriesOf(context, m_first);
        if (!a.ok())
            return a.error();
        files::Result<std::vector<species::Record>> b = entriesOf(context, m_second);
        if (!b.ok())
            return b.error();
        std::vector<FieldChange> changes;
        std::set<int> entries;
        const std::size_t common = std::min(a.value().size(), b.value().size());
        for (std::size_t position = 0; position < common; ++position)
            for (const species::FieldDescriptor& field : species::fieldLayout()) {
                const int before = a.value()[position].get(field.field);
                const int after = b.value()[position].get(field.field);
                if (before == after)
                    continue;
                changes.push_back({int(position), field.field, before, after});
                entries.insert(int(position));
            }
        // The TM and HM flags of an entry count as one field, tm_hm, as they show on one line.
        const std::vector<std::string> lines = describeChanges(changes);
        for (const std::string& line : lines)
            context.out << line << "\n";
        const std::size_t fields = lines.size();
        if (a.value().size() != b.value().size()) {
            const bool firstLonger = a.value().size() > b.value().size();
            const int last = int(std::max(a.value().size(), b.value().size())) - 1;
            context.out << "positions " << common << " to " << last << " ("
                        << vocabulary::entryName(int(common)) << " to "
                        << vocabulary::entryName(last) << ") are only in "
                        << (firstLonger ? m_first : m_second) << "\n";
        }
        context.out << (fields == 0 ? "no differences"
                                    : counted(fields, "field differs", "fields differ") + " in " +
                                          counted(entries.size(), "entry", "entries"))
                    << "\n";
        return {};
    }

private:
    static files::Result<std::vector<species::Record>> entriesOf(const Context& context,
                                                                 const std::string& path) {
        files::Result<LoadedImage> image = loadImage(context, path, files::Access::Read);
        if (!image.ok())
            return image.error();
        if (files::Status closed = image.value().file.close(); !closed.ok())
            return closed.error();
        return std::move(image.value().table.entries);
    }

    std::string m_first;
    std::string m_second;
};

} // namespace

std::unique_ptr<Command> makeDiffCommand() {
    return std::make_unique<DiffCommand>();
}

} // namespace cli
