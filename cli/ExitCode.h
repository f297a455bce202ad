#pragma once

namespace cli {

enum class ExitCode {
    Success = 0,
    InvalidData = 1, // the input or the image is not what it must be, or a check failed
    Usage = 2,
    IoFailure = 3,
};

} // namespace cli
