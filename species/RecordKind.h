#pragma once

#include "Change.h"
#include "FieldLayout.h"
#include "Record.h"
#include "TableLocation.h"

#include "base/Error.h"
#include "files/FileAccess.h"
#include "files/JournalRecovery.h"
#include "files/OpenFile.h"
#include "nds/GameEdition.h"
#include "nds/NdsFileSystem.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace species {

// A field of a record that the rules refuse, and why.
struct Refusal {
    Field field;
    std::string reason;
};

// What a write of one kind's changes makes of the image.
struct KindWrite {
    std::vector<files::Rewrite> spans;
    // The image's length once written, when the write makes it longer; 0 when it does not.
    std::int64_t length = 0;
    // The table is made anew: its records lie elsewhere afterwards, or in members of other
    // sizes, and must be found again.
    bool relocates = false;
};

// One kind of record an entry has (its base stats, its evolutions...), as data: where an image
// keeps its table, how its records are read and written, its fields and its value rules. The
// document and the windows know kinds only through this, so that a kind added is a descriptor
// added, and nothing else changes shape.
class RecordKind {
public:
    virtual ~RecordKind() = default;

    [[nodiscard]] virtual Kind kind() const = 0;
    // What messages call its table: "base-stat table", "evolution table".
    [[nodiscard]] virtual std::string_view noun() const = 0;
    // What a heading or a sentence's start calls its records: "Base stats", "Evolutions".
    [[nodiscard]] virtual std::string_view title() const = 0;
    // Its fields, in Field order.
    [[nodiscard]] virtual std::span<const FieldDescriptor> fields() const = 0;

    // Where the open image of `edition`, whose file system is `system` (null: it has none),
    // keeps the table; `stats` is the base-stat table, found first, or null while that is being
    // found. A BadContent error says in words why the image has none. Everything read lies
    // inside the image.
    [[nodiscard]] virtual base::Result<TablePlace> find(files::OpenFile& file,
                                                        const nds::GameEdition& edition,
                                                        const nds::NdsFileSystem* system,
                                                        const TablePlace* stats) const = 0;
    // Whether the image, whose file system is `system`, has the table's file at all: a table
    // that find() refuses although its file is there is a fault of the image.
    [[nodiscard]] virtual bool present(const nds::NdsFileSystem& system,
                                       const nds::GameEdition& edition) const = 0;
    // Every record of the table at `place`, one a list position.
    [[nodiscard]] virtual base::Result<std::vector<Record>> read(files::OpenFile& file,
                                                                 const TablePlace& place) const = 0;
    // The record of the entry at `position` alone.
    [[nodiscard]] virtual base::Result<Record>
    readOne(files::OpenFile& file, const TablePlace& place, int position) const = 0;
    // What writing `changes` (all of this kind) into the table at `place` of the open image
    // makes of it: the spans, and the image's length where it grows.
    [[nodiscard]] virtual base::Result<KindWrite>
    rewrites(files::OpenFile& file, const TablePlace& place,
             std::span<const Change> changes) const = 0;
    // The bytes of the image, whose file system is `system` (null: none), that a write of the
    // table at `place` may change: all that the journal's recovery accepts for it.
    [[nodiscard]] virtual base::Result<std::vector<files::ByteRange>>
    writable(files::OpenFile& file, const nds::NdsFileSystem* system,
             const TablePlace& place) const = 0;
    // What writing `changes` into the table whose records are `records` changes of the image's
    // layout, in words for the user to hear before it is written; empty for nothing.
    [[nodiscard]] virtual std::string layoutChange(const std::vector<Record>& records,
                                                   std::span<const Change> changes) const;

    // Why the record of the entry at `position` of an image of `game` may not become `after`
    // where the image holds `before`, field by field (each field changed that is refused, with
    // its reason); none when it may. `changes` are those made to the entry, with their values
    // as given, which a field may be too narrow to hold. What the image holds already is kept,
    // whatever it is.
    [[nodiscard]] virtual std::vector<Refusal> refusals(int position, const Record& before,
                                                        const Record& after,
                                                        std::span<const Change> changes,
                                                        nds::Game game) const = 0;
    // What an edit of a record implies beyond the fields it names, as the window does it: an
    // evolution slot whose method becomes 0 is emptied. Nothing, for most kinds.
    virtual void complete(const Record& before, Record& after) const;
    // Why a change of `field` means something else in an image of `game` than where it was
    // made, in `from` (a TM or HM flag that teaches another move), or nothing.
    [[nodiscard]] virtual std::optional<std::string> meaningDiffers(Field field, nds::Game from,
                                                                    nds::Game game) const;
    // The changes that turn `before` into `after`, the records of the entry at `position`, as
    // a diff and a patch carry them: field by field, or grouped as the kind's rules judge them
    // (an evolution slot whole).
    [[nodiscard]] virtual std::vector<Change> changesBetween(int position, const Record& before,
                                                             const Record& after) const;

    // A list value of the kind in words, as patches and logs write it and parseList() reads it
    // back exactly: "1 Tackle, 4 Growl". Kinds whose fields are numbers have none to write.
    [[nodiscard]] virtual std::string listText(const Value& value) const;
    [[nodiscard]] virtual base::Result<Value> parseList(std::string_view text) const;
    // How the list `after` differs from `before`, for people to read.
    [[nodiscard]] virtual std::string listDifference(const Value& before, const Value& after) const;
};

} // namespace species
