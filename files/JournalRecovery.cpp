#include "JournalRecovery.h"

#include "Journal.h"
#include "base/Text.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>

namespace files {

namespace {

// Every journal this program writes is far smaller: a whole table, old and new, is 45 KB.
constexpr std::int64_t kMaxJournal = 16 << 20;

constexpr char kRemoveOnceSound[] = "Remove the journal once the image is known to be sound";

std::string utcTime(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    if (::gmtime_s(&parts, &time) != 0)
        return {};
#else
    if (!::gmtime_r(&time, &parts))
        return {};
#endif
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return std::string(text, length);
}

// A journal that recovery must not act on: it names it, says why, and that nothing was written.
base::Error leftAlone(const std::string& image, const std::string& journal, const std::string& why,
                      const std::string& advice = kRemoveOnceSound) {
    return base::Error::badContent("recover", image,
                                   "the journal \"" + journal + "\" beside it " + why +
                                       ", so it was left alone and nothing was written. " + advice);
}

// Whether this process may remove `journal`, a file of another user: only root, or a writer of
// its folder that the folder's sticky bit does not stop.
bool mayRemove(SysIo& io, const std::string& journal) {
    const unsigned user = io.effectiveUser();
    if (user == 0)
        return true;
    const std::string folder = folderOf(journal);
    FileStatus status;
    if (io.status(folder, status) != 0 || io.checkWritable(folder) != 0)
        return false;
    return !(status.mode & mode::kSticky) || status.owner == user;
}

// Why `status`, of the regular file at `journal`, is no journal this program could have written,
// or an empty text. A journal is created private to its writer.
base::Result<std::string> ownershipProblem(SysIo& io, const std::string& image,
                                           const std::string& journal, const FileStatus& status) {
    const unsigned user = io.effectiveUser();
    if (status.ownerKnown && status.owner != user && status.owner != 0) {
        const std::string owner = io.userName(status.owner);
        if (!mayRemove(io, journal))
            return leftAlone(image, journal, "is owned by another user, " + owner,
                             "Its folder does not let you remove it: copy the image into a folder "
                             "of your own and open the copy");
        return "is owned by another user, " + owner;
    }
    if (status.mode & (mode::kGroupWrite | mode::kOtherWrite))
        return std::string("can be written by other users than its owner");
    if (status.size > kMaxJournal)
        return std::string("is not a journal of this program");
    return std::string();
}

// A journal found beside the image, read whole.
struct Leftover {
    std::string path;
    DecodedJournal decoded;
    bool ownerUnchecked = false;
};

// The journal at `journal`, if a regular file is there; anything else stands for no journal,
// since this program never writes one. A journal that this program could not have written is
// an error.
base::Result<std::optional<Leftover>> readLeftover(OpenFile& image, const std::string& journal) {
    SysIo& io = image.io();
    FileStatus there;
    if (const int found = io.linkStatus(journal, there);
        found == -ENOENT || found == -ENAMETOOLONG || found == -ENOTDIR)
        return std::optional<Leftover>();
    else if (found < 0)
        return base::Error::system(-found, "examine the journal", journal);
    if (!there.isRegular())
        return std::optional<Leftover>();
    base::Result<std::string> problem = ownershipProblem(io, image.path(), journal, there);
    if (!problem.ok())
        return problem.error();
    if (!problem.value().empty())
        return leftAlone(image.path(), journal, problem.value());
    base::Result<OpenFile> file = OpenFile::open(io, journal, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    // What was opened must be what was examined, not a file put in its place since.
    if (!file.value().status().sameFile(there))
        return leftAlone(image.path(), journal, "was replaced while it was read");
    base::Result<Bytes> bytes = file.value().size() > 0 ? file.value().read(0, file.value().size())
                                                        : base::Result<Bytes>(Bytes{});
    if (!bytes.ok())
        return bytes.error();
    Leftover leftover{journal, decodeJournal(bytes.value()), !there.ownerKnown};
    if (leftover.decoded.state == DecodedJournal::State::Foreign)
        return leftAlone(image.path(), journal, "is not a journal of this program");
    return std::optional(std::move(leftover));
}

// Why the whole journal `content` was not written by this program for the image, or an empty
// text: it names another file, or writes outside the bytes of the scope, or twice into one.
base::Result<std::string> misfit(OpenFile& image, const JournalContent& content,
                                 const JournalScope& scope) {
    const FileStatus& identity = image.status();
    // A write that changes the image's length may have stopped at any length in between.
    const std::int64_t length = content.length > 0 ? content.length : content.size;
    if (content.device != identity.device || content.inode != identity.inode ||
        image.size() < std::min(content.size, length) ||
        image.size() > std::max(content.size, length))
        return std::string("was written for another file");
    // Judged on the image the journal was written for: a write cut short may have left what
    // places the tables (an allocation entry of a file that moved) half written.
    std::vector<OpenFile::Overlay> before;
    for (const Rewrite& span : content.spans)
        if (span.offset < content.size)
            before.push_back({span.offset, span.before});
    image.showAsBefore(std::move(before), content.size);
    base::Result<std::vector<ByteRange>> ranges = scope(image);
    image.showAsIs();
    if (!ranges.ok())
        return "writes where the tables it edits cannot be checked (" + ranges.error().describe() +
               ")";
    std::vector<const Rewrite*> spans;
    for (const Rewrite& span : content.spans)
        spans.push_back(&span);
    std::sort(spans.begin(), spans.end(),
              [](const Rewrite* a, const Rewrite* b) { return a->offset < b->offset; });
    std::int64_t previousEnd = 0;
    for (const Rewrite* span : spans) {
        const auto length = static_cast<std::int64_t>(span->before.size());
        const auto inside = [&](const ByteRange& range) {
            return span->offset >= range.start && span->offset <= range.end &&
                   length <= range.end - span->offset;
        };
        if (std::none_of(ranges.value().begin(), ranges.value().end(), inside))
            return std::string("writes outside the tables this program edits");
        if (span->offset < previousEnd)
            return std::string("writes twice into the same bytes");
        previousEnd = span->offset + length;
    }
    return std::string();
}

// How a span of the image compares with the journal's old and new bytes.
enum class SpanState { Old, New, Mixed, Neither };

SpanState compare(const Bytes& now, const Rewrite& span) {
    if (now == span.after)
        return SpanState::New;
    if (now == span.before)
        return SpanState::Old;
    for (std::size_t i = 0; i < now.size(); ++i)
        if (now[i] != span.before[i] && now[i] != span.after[i])
            return SpanState::Neither;
    return SpanState::Mixed;
}

// What recovery makes of a whole journal that fits the image: the spans whose old bytes it puts
// back (none when every span holds its new bytes already), the length it cuts the image back
// to (0: none), and what it tells.
struct Plan {
    Recovery recovery;
    std::vector<const Rewrite*> putBack;
    std::int64_t shortenTo = 0;
};

base::Result<Plan> planFor(OpenFile& image, const Leftover& leftover) {
    const JournalContent& content = leftover.decoded.content;
    Plan plan{{Recovery::Found::RolledBack,
               image.path(),
               leftover.path,
               {},
               content.label,
               utcTime(content.started),
               leftover.ownerUnchecked},
              {},
              0};
    const std::int64_t length = content.length > 0 ? content.length : content.size;
    bool allNew = (!content.spans.empty() || length != content.size) && image.size() == length;
    bool allOld = image.size() == content.size;
    for (const Rewrite& span : content.spans) {
        const auto length = static_cast<std::int64_t>(span.before.size());
        // Past the old end, what the write added goes with the length it added.
        if (span.offset >= content.size) {
            const bool there = span.offset + length <= image.size();
            base::Result<Bytes> now = there ? image.read(span.offset, length) : Bytes{};
            if (!now.ok())
                return now.error();
            allNew = allNew && there && now.value() == span.after;
            allOld = allOld && !there;
            continue;
        }
        base::Result<Bytes> now = image.read(span.offset, length);
        if (!now.ok())
            return now.error();
        const SpanState state = compare(now.value(), span);
        if (state == SpanState::Neither)
            return leftAlone(image.path(), leftover.path,
                             "holds bytes that the image no longer has, old or new");
        if (state != SpanState::Old)
            plan.putBack.push_back(&span);
        allNew = allNew && state == SpanState::New;
        allOld = allOld && state == SpanState::Old;
    }
    if (allNew) {
        plan.recovery.found = Recovery::Found::Completed;
        plan.putBack.clear();
        return plan;
    }
    if (allOld)
        plan.recovery.found = Recovery::Found::Untouched;
    // A write that made the image longer is cut back; one that cut it short had written its
    // spans first, all of them, so it is finished (above) or its length is untouched.
    if (image.size() > content.size)
        plan.shortenTo = content.size;
    return plan;
}

// Puts back the old bytes of the plan's spans and the image's old length, flushes them, and
// removes the journal.
base::Status carryOut(OpenFile& image, const Plan& plan, const std::string& journal) {
    for (const Rewrite* span : plan.putBack) {
        std::size_t written = 0;
        if (base::Status put = image.write(span->offset, span->before, &written); !put.ok())
            return put;
    }
    if (plan.shortenTo > 0)
        if (base::Status shorter = image.setLength(plan.shortenTo); !shorter.ok())
            return shorter;
    if (!plan.putBack.empty() || plan.shortenTo > 0)
        if (base::Status synced = image.sync(); !synced.ok())
            return synced;
    return removeJournal(image.io(), journal);
}

// What each journal beside `image` holds and asks for; carried out if `act`.
base::Result<std::vector<Recovery>> visitJournals(OpenFile& image, const JournalScope& scope,
                                                  bool act) {
    base::Result<std::vector<std::string>> places = journalPlaces(image.io(), image.path());
    if (!places.ok())
        return places.error();
    const base::Result<std::string> resolved = resolveLinks(image.io(), image.path());
    if (!resolved.ok())
        return resolved.error();
    const std::string imageName = lastName(resolved.value());
    std::vector<Recovery> recoveries;
    for (const std::string& place : places.value()) {
        base::Result<std::optional<Leftover>> found = readLeftover(image, place);
        if (!found.ok())
            return found.error();
        if (!found.value())
            continue;
        const Leftover& leftover = *found.value();
        base::Result<Plan> plan =
            Plan{{Recovery::Found::Torn, image.path(), place, {}, {}, {}}, {}, 0};
        const JournalContent& content = leftover.decoded.content;
        const bool whole = leftover.decoded.state == DecodedJournal::State::Whole;
        // Two images of long names that start alike share a journal name: the other image's
        // journal waits for it. Its identity tells it apart from this image renamed.
        const bool otherFile =
            content.device != image.status().device || content.inode != image.status().inode;
        if (whole && !content.image.empty() && content.image != imageName && otherFile) {
            recoveries.push_back({Recovery::Found::OtherImage, image.path(), place, content.image,
                                  content.label, utcTime(content.started)});
            continue;
        }
        if (whole) {
            base::Result<std::string> problem = misfit(image, content, scope);
            if (!problem.ok())
                return problem.error();
            if (!problem.value().empty())
                return leftAlone(image.path(), place, problem.value());
            plan = planFor(image, leftover);
            if (!plan.ok())
                return plan.error();
        }
        if (act)
            if (base::Status done = carryOut(image, plan.value(), place); !done.ok())
                return done.error();
        recoveries.push_back(plan.value().recovery);
    }
    return recoveries;
}

} // namespace

base::Result<bool> journalThere(SysIo& io, const std::string& image) {
    base::Result<std::vector<std::string>> places = journalPlaces(io, image);
    if (!places.ok())
        return places.error();
    for (const std::string& place : places.value()) {
        FileStatus status;
        if (io.linkStatus(place, status) == 0 && status.isRegular())
            return true;
    }
    return false;
}

base::Result<std::vector<Recovery>> recoverJournals(OpenFile& image, const JournalScope& scope) {
    return visitJournals(image, scope, true);
}

base::Result<std::vector<Recovery>> examineJournals(OpenFile& image, const JournalScope& scope) {
    return visitJournals(image, scope, false);
}

base::Error otherImagesJournal(const std::string& image, const Recovery& other) {
    return base::Error::failed(
        base::Error::Kind::Refused, "write into", image,
        "the journal \"" + base::printable(other.journal) +
            "\" beside it belongs to another image, \"" + base::printable(other.otherImage) +
            "\", whose name gives the same journal name; that image needs it to roll back its "
            "interrupted " +
            base::printable(other.label) +
            ", and it is recovered when that image is next opened. Nothing was written: open "
            "that image first, or write into a copy of this one under a shorter name");
}

namespace {

// What a recovery's sentence adds where the journal's owner could not be checked.
std::string ownerNote(const Recovery& recovery) {
    return recovery.ownerUnchecked
               ? " Its owner could not be checked, since its volume keeps no owners: it was "
                 "trusted because it names this image."
               : "";
}

} // namespace

std::string Recovery::describe() const {
    return sentence() + ownerNote(*this);
}

std::string Recovery::describePending() const {
    return pendingSentence() + ownerNote(*this);
}

std::string Recovery::sentence() const {
    const std::string quoted = "\"" + base::printable(image) + "\"";
    const std::string write = "the " + base::printable(label) + " begun at " + started;
    switch (found) {
    case Found::Torn:
        return quoted + ": an interrupted write had not yet begun to change it; its unfinished "
                        "journal was removed.";
    case Found::Untouched:
        return quoted + ": " + write +
               " was interrupted before it changed a byte; the image holds what it held before "
               "it, and its journal was removed.";
    case Found::OtherImage:
        return quoted + ": the journal beside it belongs to \"" + base::printable(otherImage) +
               "\" and was left alone.";
    case Found::Completed:
        return quoted + ": " + write +
               " had finished writing when it was interrupted; its leftover journal was removed.";
    case Found::RolledBack:
        break;
    }
    return quoted + ": " + write +
           " was interrupted and has been rolled back; the image holds what it held before it.";
}

std::string Recovery::pendingSentence() const {
    const std::string quoted = "\"" + base::printable(image) + "\"";
    const std::string write = "the " + base::printable(label) + " begun at " + started;
    const std::string dry = "; a dry run writes nothing, so it was left as it is";
    switch (found) {
    case Found::Torn:
        return quoted +
               ": an interrupted write left an unfinished journal beside it, which the "
               "next opening that is not a dry run removes" +
               dry + ".";
    case Found::Untouched:
        return quoted + ": " + write +
               " was interrupted before it changed a byte; the next opening that is not a dry "
               "run removes its journal" +
               dry + ".";
    case Found::OtherImage:
        return quoted + ": the journal beside it belongs to \"" + base::printable(otherImage) +
               "\" and is left alone.";
    case Found::Completed:
        return quoted + ": " + write +
               " had finished writing when it was interrupted; the next opening that is not a "
               "dry run removes its leftover journal" +
               dry + ".";
    case Found::RolledBack:
        break;
    }
    return quoted + ": " + write +
           " was interrupted; the next opening that is not a dry run rolls it back" + dry + ".";
}

} // namespace files
