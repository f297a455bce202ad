#pragma once

#include "Command.h"

#include <memory>
#include <vector>

namespace cli {

// Every command of statwright-cli, in the order the help lists them.
[[nodiscard]] std::vector<std::unique_ptr<Command>> allCommands();

[[nodiscard]] std::unique_ptr<Command> makeIdentifyCommand();
[[nodiscard]] std::unique_ptr<Command> makeExportCommand();
[[nodiscard]] std::unique_ptr<Command> makeImportCommand();
[[nodiscard]] std::unique_ptr<Command> makeDiffCommand();
[[nodiscard]] std::unique_ptr<Command> makeApplyCommand();
[[nodiscard]] std::unique_ptr<Command> makeCheckCommand();
[[nodiscard]] std::unique_ptr<Command> makeSampleCommand();

} // namespace cli
