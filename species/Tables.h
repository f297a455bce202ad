#pragma once

#include "FieldLayout.h"
#include "Record.h"

#include <map>
#include <vector>

namespace species {

// The records of an image, a table a kind, one record a list position: the kinds the image
// has, as read or as shown with the edits not saved.
using Tables = std::map<Kind, std::vector<Record>>;

} // namespace species
