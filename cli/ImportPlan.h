#pragma once

#include "ImageTable.h"
#include "TableReader.h"

#include "FieldLayout.h"

#include <optional>
#include <vector>

namespace cli {

struct FieldChange {
    int position;
    species::Field field;
    int before;
    int after;
};

struct ImportPlan {
    std::vector<FieldChange> changes; // by position, then field
    tables::ProblemList problems;     // any problem means nothing may be written
};

// Judges every row against the image as it is now: each entry once, under its own name,
// with values the window could have stored, and nothing changed that the window keeps fixed.
[[nodiscard]] ImportPlan planImport(const tables::InputTable& input, const ImageTable& image);

// Writes the changed entries one by one through the window's own save. When one fails, the
// entries already written get their previous values back before the failure is returned.
[[nodiscard]] std::optional<Failure> applyImport(files::SysIo& io, const ImageTable& image,
                                                 const std::vector<FieldChange>& changes);

// "Bulbasaur: hp 45 -> 50"
[[nodiscard]] std::string describeChange(const FieldChange& change);

} // namespace cli
