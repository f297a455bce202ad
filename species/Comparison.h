#pragma once

#include "Tables.h"

#include <string>
#include <vector>

namespace species {

// What comparing the tables of two images leaves out: a sentence for each kind of record that
// one image has and the other lacks, naming the one that lacks it ("Evolutions were not
// compared: b.nds has no evolution table."). `first` and `second` name the images.
[[nodiscard]] std::vector<std::string> notCompared(const Tables& a, const std::string& first,
                                                   const Tables& b, const std::string& second);

} // namespace species
