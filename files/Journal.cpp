#include "Journal.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace files {

namespace {

// "SWJRNL" and the format's version.
constexpr std::uint8_t kMagic[8] = {'S', 'W', 'J', 'R', 'N', 'L', '0', '1'};
// Every journal this program writes is far smaller: a whole table, old and new, is 45 KB.
constexpr std::int64_t kMaxJournal = 16 << 20;
constexpr std::uint32_t kMaxLabel = 4096;

std::uint32_t checksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(
        ::crc32(::crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

class Writer {
public:
    void number(std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void bytes(std::span<const std::uint8_t> bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    Bytes take() { return std::move(m_bytes); }
    const Bytes& written() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Reads a journal from its start; `short` becomes true at the first read past its end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t number(int width) {
        if (!has(static_cast<std::size_t>(width)))
            return 0;
        std::uint64_t value = 0;
        for (int i = 0; i < width; ++i)
            value |= std::uint64_t{m_bytes[m_at + static_cast<std::size_t>(i)]} << (8 * i);
        m_at += static_cast<std::size_t>(width);
        return value;
    }
    Bytes bytes(std::uint64_t count) {
        if (!has(count))
            return {};
        const auto from = m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at);
        m_at += static_cast<std::size_t>(count);
        return Bytes(from, from + static_cast<std::ptrdiff_t>(count));
    }
    [[nodiscard]] bool cutShort() const { return m_short; }
    [[nodiscard]] std::size_t at() const { return m_at; }
    [[nodiscard]] std::size_t left() const { return m_bytes.size() - m_at; }

private:
    bool has(std::uint64_t count) {
        if (m_short || count > left())
            m_short = true;
        return !m_short;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_short = false;
};

std::string utcTime(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!::gmtime_r(&time, &parts))
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return std::string(text, length);
}

// A journal that recovery must not act on: it names it, and says that nothing was written.
Error leftAlone(const std::string& image, const std::string& journal, const std::string& why) {
    return Error::badContent("recover", image,
                             "the journal \"" + journal + "\" beside it " + why +
                                 ", so it was left alone and nothing was written. Remove the "
                                 "journal once the image is known to be sound");
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

Status removeJournal(SysIo& io, const std::string& journal) {
    if (const int removed = io.unlink(journal); removed < 0)
        return Error::system(-removed, "remove the journal", journal);
    return syncFolderOf(io, journal);
}

} // namespace

std::string journalPath(const std::string& image) {
    return image + ".statwright-journal";
}

Bytes encodeJournal(const JournalContent& content) {
    Writer out;
    out.bytes(kMagic);
    out.number(content.device, 8);
    out.number(content.inode, 8);
    out.number(static_cast<std::uint64_t>(content.size), 8);
    out.number(static_cast<std::uint64_t>(content.started), 8);
    out.number(content.label.size(), 4);
    out.bytes(std::span(reinterpret_cast<const std::uint8_t*>(content.label.data()),
                        content.label.size()));
    out.number(content.spans.size(), 4);
    for (const Rewrite& span : content.spans) {
        out.number(static_cast<std::uint64_t>(span.offset), 8);
        out.number(span.before.size(), 4);
        out.number(checksum(span.before), 4);
        out.number(checksum(span.after), 4);
        out.bytes(span.before);
        out.bytes(span.after);
    }
    out.number(checksum(out.written()), 4);
    return out.take();
}

DecodedJournal decodeJournal(std::span<const std::uint8_t> bytes) {
    DecodedJournal decoded;
    using State = DecodedJournal::State;
    // A journal cut short within its first bytes is still recognisably one.
    const std::size_t head = std::min(bytes.size(), sizeof kMagic);
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(head), kMagic))
        return {State::Foreign, {}};
    Reader in(bytes);
    in.bytes(sizeof kMagic);
    JournalContent& content = decoded.content;
    content.device = in.number(8);
    content.inode = in.number(8);
    content.size = static_cast<std::int64_t>(in.number(8));
    content.started = static_cast<std::int64_t>(in.number(8));
    const std::uint64_t labelLength = in.number(4);
    if (labelLength > kMaxLabel)
        return {State::Foreign, {}};
    const Bytes label = in.bytes(labelLength);
    content.label.assign(label.begin(), label.end());
    const std::uint64_t count = in.number(4);
    // Each span takes 20 bytes before its own: a count the rest cannot hold is cut short.
    if (count > in.left() / 20)
        return {State::Torn, {}};
    std::vector<std::uint32_t> sums;
    for (std::uint64_t i = 0; i < count && !in.cutShort(); ++i) {
        Rewrite span;
        span.offset = static_cast<std::int64_t>(in.number(8));
        const std::uint64_t length = in.number(4);
        sums.push_back(static_cast<std::uint32_t>(in.number(4)));
        sums.push_back(static_cast<std::uint32_t>(in.number(4)));
        span.before = in.bytes(length);
        span.after = in.bytes(length);
        content.spans.push_back(std::move(span));
    }
    const std::size_t summed = in.at();
    const auto sum = static_cast<std::uint32_t>(in.number(4));
    if (in.cutShort() || sum != checksum(bytes.first(summed)))
        return {State::Torn, {}};
    // Whole, yet not as this program writes them.
    if (in.left() != 0)
        return {State::Foreign, {}};
    for (std::size_t i = 0; i < content.spans.size(); ++i) {
        const Rewrite& span = content.spans[i];
        if (span.offset < 0 || checksum(span.before) != sums[2 * i] ||
            checksum(span.after) != sums[2 * i + 1])
            return {State::Foreign, {}};
    }
    decoded.state = State::Whole;
    return decoded;
}

Status rewriteWithJournal(OpenFile& image, std::span<const Rewrite> spans,
                          const std::string& label) {
    if (spans.empty())
        return {};
    SysIo& io = image.io();
    const std::string journal = journalPath(image.path());
    JournalContent content{image.status().device,
                           image.status().inode,
                           image.size(),
                           static_cast<std::int64_t>(std::time(nullptr)),
                           label,
                           {spans.begin(), spans.end()}};
    if (Status made = writeNewFile(io, journal, encodeJournal(content)); !made.ok()) {
        Error error = made.error();
        if (error.systemError == EEXIST)
            error.reason = "another program is writing into the image";
        error.action = "create the journal";
        error.reason += "; nothing was written";
        return error;
    }
    bool putBack = true;
    if (Status written = rewrite(image, spans, &putBack); !written.ok()) {
        Error error = written.error();
        // The journal is what can still put the old bytes back.
        if (!putBack || !removeJournal(io, journal).ok())
            error.reason += ". The journal \"" + journal +
                            "\" beside the image puts them back when it is next opened";
        return error;
    }
    if (Status removed = removeJournal(io, journal); !removed.ok()) {
        Error error = removed.error();
        error.reason += "; the changes were written, and the journal is removed when the image "
                        "is next opened";
        return error;
    }
    return {};
}

Result<std::optional<Recovery>> recoverJournal(OpenFile& image) {
    SysIo& io = image.io();
    const std::string journal = journalPath(image.path());
    FileStatus status;
    if (const int found = io.status(journal, status); found == -ENOENT)
        return std::optional<Recovery>();
    else if (found < 0)
        return Error::system(-found, "examine the journal", journal);
    if (!status.isRegular() || status.size > kMaxJournal)
        return leftAlone(image.path(), journal, "is not a journal of this program");
    Result<Bytes> bytes = readWholeFile(io, journal, kMaxJournal);
    if (!bytes.ok())
        return bytes.error();

    Recovery recovery;
    recovery.image = image.path();
    const DecodedJournal decoded = decodeJournal(bytes.value());
    if (decoded.state == DecodedJournal::State::Foreign)
        return leftAlone(image.path(), journal, "is not a journal of this program");
    if (decoded.state == DecodedJournal::State::Torn) {
        if (Status removed = removeJournal(io, journal); !removed.ok())
            return removed.error();
        return std::optional(recovery);
    }
    const JournalContent& content = decoded.content;
    const FileStatus& identity = image.status();
    if (content.device != identity.device || content.inode != identity.inode ||
        content.size != image.size())
        return leftAlone(image.path(), journal, "was written for another file");
    recovery.label = content.label;
    recovery.started = utcTime(content.started);

    std::vector<const Rewrite*> toPutBack;
    bool allNew = !content.spans.empty();
    for (const Rewrite& span : content.spans) {
        if (span.offset > image.size() ||
            static_cast<std::int64_t>(span.before.size()) > image.size() - span.offset)
            return leftAlone(image.path(), journal, "was written for another file");
        Result<Bytes> now = image.read(span.offset, static_cast<std::int64_t>(span.before.size()));
        if (!now.ok())
            return now.error();
        const SpanState state = compare(now.value(), span);
        if (state == SpanState::Neither)
            return leftAlone(image.path(), journal,
                             "holds bytes that the image no longer has, old or new");
        if (state != SpanState::Old)
            toPutBack.push_back(&span);
        allNew = allNew && state == SpanState::New;
    }
    recovery.found = allNew ? Recovery::Found::Completed : Recovery::Found::RolledBack;
    if (!allNew && !toPutBack.empty()) {
        for (const Rewrite* span : toPutBack) {
            std::size_t written = 0;
            if (Status put = image.write(span->offset, span->before, &written); !put.ok())
                return put.error();
        }
        if (Status synced = image.sync(); !synced.ok())
            return synced.error();
    }
    if (Status removed = removeJournal(io, journal); !removed.ok())
        return removed.error();
    return std::optional(recovery);
}

std::string Recovery::describe() const {
    const std::string quoted = "\"" + image + "\"";
    switch (found) {
    case Found::Torn:
        return quoted + ": an interrupted write had not yet begun to change it; its unfinished "
                        "journal was removed.";
    case Found::Completed:
        return quoted + ": the " + label + " begun at " + started +
               " had finished writing when it was interrupted; its leftover journal was removed.";
    case Found::RolledBack:
        break;
    }
    return quoted + ": the " + label + " begun at " + started +
           " was interrupted and has been rolled back; the image holds what it held before it.";
}

} // namespace files
