#pragma once

#include "Change.h"
#include "Record.h"
#include "RecordKind.h"
#include "TableLocation.h"
#include "Tables.h"

#include "base/Error.h"
#include "files/FileAccess.h"
#include "files/LockedFile.h"
#include "files/SysIo.h"
#include "nds/GameEdition.h"
#include "nds/NdsFileSystem.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace species {

// What an image holds of one kind of record, as it was last read.
struct KindTable {
    const RecordKind* kind = nullptr;
    std::optional<TablePlace> place;    // where the image keeps the table, if it has one
    std::optional<base::Error> missing; // otherwise why not
    // The image's file system has the table's file, but it cannot be used (damaged, or not a
    // file of its own): a fault of the image, not a table it lacks.
    bool refused = false;
    std::vector<Record> records; // one a list position, where the image has the table
};

// What an opening found of an image.
struct ImageReport {
    const nds::GameEdition* edition = nullptr;
    std::vector<KindTable> tables; // a table each kind, in the kinds' order: base stats first
    // The files of the image's file system that hold the edition's fixed base (none for an
    // edition without one); nothing when the image has no whole file system.
    std::optional<std::vector<nds::FileEntry>> fixedBaseHolders;

    [[nodiscard]] const KindTable& table(Kind kind) const;
};

// What a save or an undo found and did.
struct SaveOutcome {
    // The disk no longer holds what the entries were read as (or, for an undo, what the save
    // wrote): nothing was written. `theirs` says what changed, from what was read to what the
    // disk holds now, field by field, and `onDisk` holds the records as they are now.
    bool conflict = false;
    std::vector<Change> theirs;
    std::map<std::pair<Kind, int>, Record> onDisk;
    // Otherwise what was written: each field from what the disk held to what it holds now.
    std::vector<Change> written;
    TablePlace place; // where the base-stat table was found

    [[nodiscard]] bool saved() const { return !conflict; }
};

// One open image, for every front end: what was read of it, the edits not yet saved, and the
// writes. The windows are views of one document, so they agree without telling each other;
// statwright-cli's commands open one each. Every operation opens the image, does its work
// under one lock and closes it again: no file stays open between them, and the tables are
// found afresh each time, as another tool may have moved them. The game found at the first
// opening stays the document's game.
class ImageDocument {
public:
    ImageDocument(files::SysIo& io, std::string path);

    // Whether the file at `path` is an image of a game the program knows, as its header says,
    // or why not; nothing else is read, and nothing written.
    [[nodiscard]] static base::Status checkImage(files::SysIo& io, const std::string& path);

    [[nodiscard]] const std::string& path() const { return m_path; }
    // The image's game; null until an operation has identified it.
    [[nodiscard]] const nds::GameEdition* edition() const { return m_edition; }

    // With one open: identifies the image (an unsupported one is an error), recovers it (with
    // Access::Inspect, a leftover journal is an error that says what recovery would do), finds
    // every table and reads every record, which the document keeps. A base-stat table that
    // cannot be found is reported, not an error; the edits not saved are dropped.
    [[nodiscard]] base::Result<ImageReport> open(files::Access access = files::Access::Read);

    // The table of `kind` as last read: where it is, or why the image has none.
    [[nodiscard]] const KindTable& table(Kind kind) const;
    // List positions of the base-stat table; 0 before an opening found it.
    [[nodiscard]] int entries() const;

    // What a field of the entry at `position` holds: as read from the disk, and as shown (with
    // the edit not saved over it). A position or field of a table the image lacks holds 0.
    [[nodiscard]] Value diskValue(int position, Field field) const;
    [[nodiscard]] Value value(int position, Field field) const;
    // The record of `kind` of the entry at `position`, as shown; and every entry's.
    [[nodiscard]] Record record(int position, Kind kind) const;
    [[nodiscard]] std::vector<Record> records(Kind kind) const;
    // Every table the image has, a kind each, as shown.
    [[nodiscard]] Tables tables() const;

    // --- Edits not saved ---
    // A change of a field from what the disk holds, as read.
    [[nodiscard]] Change changeTo(int position, Field field, Value value) const;
    // Takes `changes` as edits not saved, all or none: judged by the kinds' rules against what
    // the disk holds, as read, and completed as each kind completes an edit (RecordKind::
    // complete). A change back to what the disk holds drops the edit.
    // The refusals, a line each ("Bulbasaur: 300 is not between 0 and 255"), when any may not be
    // made. With `asStep`, the staging is one step that undoStep() takes back.
    [[nodiscard]] std::vector<std::string> stage(const std::vector<Change>& changes,
                                                 bool asStep = true);
    // Takes back the last step of staging.
    bool undoStep();
    [[nodiscard]] bool canUndoStep() const { return !m_steps.empty(); }
    // Drops the edits of the entries at `positions`, or of every entry.
    void discard(const std::set<int>& positions);
    void discardAll();
    // The edits not saved, as changes of what the disk holds, by position then field: all, or
    // those of some entries.
    [[nodiscard]] std::vector<Change> pending() const;
    [[nodiscard]] std::vector<Change> pending(const std::set<int>& positions) const;
    [[nodiscard]] std::set<int> pendingEntries() const;
    [[nodiscard]] bool hasPending(int position) const;

    // --- Reading the disk again ---
    // Reads the records of the entry at `position` again, with one open, and shows them, unless
    // it has edits not saved, which keep what they were made over; where the base-stat table
    // was found.
    [[nodiscard]] base::Result<TablePlace> reload(int position);
    // Reads every table again, with one open, after the image changed on disk: the entries
    // without edits not saved show what the disk holds now; those with keep theirs, and their
    // next save asks.
    [[nodiscard]] base::Status reloadAll();

    // --- Writing ---
    // Writes `batch` in one save, with one open, locked from reading the records to the last
    // flush, if the entries hold what the document read them as; otherwise writes nothing and
    // says what changed. Written, the entries show what the disk holds now, the edits saved are
    // no longer pending, and the save is the one undo() takes back. A batch without changes
    // writes nothing.
    [[nodiscard]] base::Result<SaveOutcome> save(std::span<const Change> batch,
                                                 const std::string& label);
    // What saving `batch` changes of the image's layout, in words for the user to hear before
    // it is written ("the learnset archive is written anew..."); empty for nothing.
    [[nodiscard]] std::string layoutChange(const std::vector<Change>& batch) const;
    // The user chose to overwrite what another program wrote: the records the disk holds now
    // are taken as read, and the entries' edits go over them.
    void takeFromDisk(const SaveOutcome& conflict);
    // What the last save wrote; empty when there is none to undo.
    [[nodiscard]] const std::vector<Change>& lastSave() const { return m_lastSave.changes; }
    // Writes back the bytes the last save replaced, if the image holds what it wrote (or
    // whatever it holds, with `overwrite`); once done, there is no save to undo.
    [[nodiscard]] base::Result<SaveOutcome> undo(const std::string& label, bool overwrite);

    // The changes to make of the image as the document holds it; an error refuses them all.
    using Planner = std::function<base::Result<std::vector<Change>>(const ImageDocument&)>;
    // The last word before changes are written: an error writes nothing.
    using Confirm = std::function<base::Status(std::span<const Change>)>;
    // Reads every table, asks `plan` for the changes to make of them, and writes them through
    // `confirm` in one save, all with one open and under one lock, so that no other write comes
    // between the reading and the writing. A dry run reads the image as it is (a leftover
    // journal is an error that says what its recovery would do) and writes nothing; so does a
    // batch without changes. An image that cannot be written is still read and planned for:
    // the error says why only once there are changes to write. The changes planned, written or
    // not.
    [[nodiscard]] base::Result<std::vector<Change>>
    modify(const Planner& plan, const Confirm& confirm, const std::string& label, bool dryRun);

    // Gives the owner write permission if the file lacks it, and says whether writes will be
    // allowed at all.
    [[nodiscard]] base::Status makeWritable();

    // What the openings since the last call found, for the user to hear of: recoveries from
    // journals, a file system without locks, the image's names.
    [[nodiscard]] files::OpenNotes takeNotes();

    // Calls `heard` with the positions whose shown values or edits changed (none: all of them)
    // after every change the document makes, until unlisten() is given the number returned.
    int listen(std::function<void(const std::vector<int>& positions)> heard);
    void unlisten(int listener);

private:
    struct Opened;
    // One field's edit before a step of staging changed it: its value, or none.
    struct Undone {
        int position;
        Field field;
        std::optional<Value> value;
    };
    struct LastSave {
        std::vector<files::Rewrite> spans;
        std::vector<Change> changes;
        std::map<std::pair<Kind, int>, Record> written;
        std::int64_t lengthBefore = 0; // the image's, before the save and after it
        std::int64_t lengthAfter = 0;
        std::set<Kind> relocated; // the kinds whose tables the save made anew
    };

    [[nodiscard]] base::Result<Opened> openImage(files::Access access);
    [[nodiscard]] base::Result<Opened> openToWrite(files::Access fallback,
                                                   std::optional<base::Error>& unwritable);
    // Reads every table of the open image; with `keepEdited`, an entry with edits not saved
    // keeps its records. The positions whose records changed: none when a table came or went
    // (all of them), and only -1 when none did.
    [[nodiscard]] base::Result<std::vector<int>> readTables(Opened& opened, bool keepEdited);
    // Finds where each kind's table lies in the open image.
    [[nodiscard]] base::Status findTables(Opened& opened) const;
    // After a write that made the tables of `kinds` anew: finds every table again, and reads
    // those whole where they lie now.
    [[nodiscard]] base::Status readMoved(Opened& opened, const std::set<Kind>& kinds);
    [[nodiscard]] base::Result<SaveOutcome> write(Opened& opened, std::span<const Change> batch,
                                                  const std::string& label);
    [[nodiscard]] KindTable& tableOf(Kind kind);
    void keep(const files::OpenNotes& notes);
    void tell(const std::vector<int>& positions) const;

    files::SysIo& m_io;
    std::string m_path;
    const nds::GameEdition* m_edition = nullptr;
    files::OpenNotes m_notes;
    std::vector<KindTable> m_tables;
    // The value of each field edited and not saved, by entry.
    std::map<int, std::map<Field, Value>> m_pending;
    std::vector<std::vector<Undone>> m_steps;
    LastSave m_lastSave;
    std::map<int, std::function<void(const std::vector<int>&)>> m_listeners;
    int m_nextListener = 0;
};

} // namespace species
