#pragma once

#include "ImageTable.h"

#include <string>

// The entries of an image as text: CSV with one header line, or JSON that also carries the
// list text of each listed value.
namespace cli {

[[nodiscard]] std::string csvHeader();
[[nodiscard]] std::string toCsv(const ImageTable& image);
[[nodiscard]] std::string toJson(const ImageTable& image);

} // namespace cli
