#include "Journal.h"

#include "base/LittleEndian.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace files {

namespace {

// "SWJRNL" and the format's version: 01 without the image's name, 02 with it.
constexpr std::uint8_t kMagic[8] = {'S', 'W', 'J', 'R', 'N', 'L', '0', '2'};
constexpr std::size_t kVersionAt = sizeof kMagic - 1;
constexpr std::uint8_t kFirstVersion = '1';
constexpr std::uint32_t kMaxLabel = 4096;
constexpr std::uint32_t kMaxImageName = 4096;

std::uint32_t checksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(
        ::crc32(::crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

class Writer {
public:
    void number(std::uint64_t value, int width) {
        m_bytes.resize(m_bytes.size() + static_cast<std::size_t>(width));
        base::writeLittleEndian(std::span(m_bytes).last(static_cast<std::size_t>(width)), value);
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
        const std::uint64_t value =
            base::readLittleEndian(m_bytes.subspan(m_at, static_cast<std::size_t>(width)));
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

// What a journal's file name ends in.
constexpr char kSuffix[] = ".statwright-journal";
// The longest file name that the file systems the program meets allow, in bytes.
constexpr std::size_t kMaxName = 255;

// The journal's place is made before a byte is written; a journal is always the writer's own.
constexpr unsigned kJournalMode = 0600;

} // namespace

base::Status removeJournal(SysIo& io, const std::string& journal) {
    if (const int removed = io.unlink(journal); removed < 0)
        return base::Error::system(-removed, "remove the journal", journal);
    return syncFolderOf(io, journal);
}

std::string journalName(const std::string& name) {
    const std::size_t suffix = sizeof kSuffix - 1;
    if (name.size() + suffix <= kMaxName)
        return name + kSuffix;
    // A dot and eight hex digits tell apart two long names that start alike.
    std::size_t cut = kMaxName - suffix - 9;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::uint32_t sum =
        checksum(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
    std::string digest;
    for (int shift = 28; shift >= 0; shift -= 4)
        digest += kDigits[(sum >> shift) & 0xF];
    return name.substr(0, cut) + "." + digest + kSuffix;
}

namespace {

// The journal's path for the image file at `image`, whose links are followed already.
std::string besideFile(const std::string& image) {
    return besideName(image, journalName(lastName(image)));
}

} // namespace

base::Result<std::string> journalPath(SysIo& io, const std::string& image) {
    base::Result<std::string> resolved = resolveLinks(io, image);
    if (!resolved.ok())
        return resolved.error();
    return besideFile(resolved.value());
}

base::Result<std::vector<std::string>> journalPlaces(SysIo& io, const std::string& image) {
    base::Result<std::string> resolved = journalPath(io, image);
    if (!resolved.ok())
        return resolved.error();
    std::vector<std::string> places{resolved.value()};
    if (const std::string given = besideFile(image); given != places.front())
        places.push_back(given);
    return places;
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
    out.number(content.image.size(), 4);
    out.bytes(std::span(reinterpret_cast<const std::uint8_t*>(content.image.data()),
                        content.image.size()));
    out.number(static_cast<std::uint64_t>(content.length), 8);
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
    // A journal cut short within its first bytes is still recognisably one, of either version.
    const std::size_t head = std::min(bytes.size(), sizeof kMagic);
    for (std::size_t i = 0; i < head; ++i)
        if (bytes[i] != kMagic[i] && !(i == kVersionAt && bytes[i] == kFirstVersion))
            return {State::Foreign, {}};
    const bool named = head == sizeof kMagic && bytes[kVersionAt] == kMagic[kVersionAt];
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
    if (named) {
        const std::uint64_t nameLength = in.number(4);
        if (nameLength > kMaxImageName)
            return {State::Foreign, {}};
        const Bytes name = in.bytes(nameLength);
        content.image.assign(name.begin(), name.end());
        content.length = static_cast<std::int64_t>(in.number(8));
    }
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

namespace {

// Why a journal cannot be made at `journal`, where something stands already.
std::string occupant(SysIo& io, const std::string& journal) {
    FileStatus there;
    if (io.linkStatus(journal, there) == 0 && !there.isRegular())
        return "something that is no journal stands at its place (it is " + there.kind() +
               "): remove it";
    // Recovery took every journal away under the same lock: this one came in meanwhile.
    return "another program is writing into the image";
}

} // namespace

namespace {

// The spans, each cut in two where it crosses `end`, the image's length before a write makes it
// longer: recovery puts back the bytes before it and cuts the image there.
std::vector<Rewrite> cutAt(std::span<const Rewrite> spans, std::int64_t end) {
    std::vector<Rewrite> cut;
    for (const Rewrite& span : spans) {
        const auto length = static_cast<std::int64_t>(span.after.size());
        if (span.offset >= end || span.offset + length <= end) {
            cut.push_back(span);
            continue;
        }
        const auto first = static_cast<std::ptrdiff_t>(end - span.offset);
        cut.push_back({span.offset, Bytes(span.before.begin(), span.before.begin() + first),
                       Bytes(span.after.begin(), span.after.begin() + first)});
        cut.push_back({end, Bytes(span.before.begin() + first, span.before.end()),
                       Bytes(span.after.begin() + first, span.after.end())});
    }
    return cut;
}

} // namespace

namespace {

// Writes what the journal `journal` holds into the image, as rewriteWithJournal() does once
// the journal is on disk; on failure, puts back what it can and says whether the journal is
// still needed to finish the job.
base::Status carryOutJournaled(OpenFile& image, const std::vector<Rewrite>& spans,
                               std::int64_t oldLength, std::int64_t length,
                               const std::string& journal) {
    SysIo& io = image.io();
    const auto stays = [&](base::Error error, const char* what) {
        error.reason += std::string(". The journal \"") + journal + "\" beside the image puts " +
                        what + " back when it is next opened";
        return error;
    };
    if (length > oldLength)
        if (base::Status longer = image.setLength(length); !longer.ok()) {
            // A length not set wrote nothing; one half set is the journal's to cut back.
            if (!image.setLength(oldLength).ok() || !removeJournal(io, journal).ok())
                return stays(longer.error(), "it");
            return longer;
        }
    bool putBack = true;
    if (base::Status written = rewrite(image, spans, &putBack); !written.ok()) {
        putBack = putBack &&
                  (length <= oldLength || (image.setLength(oldLength).ok() && image.sync().ok()));
        // The journal is what can still put the old bytes back.
        if (!putBack || !removeJournal(io, journal).ok())
            return stays(written.error(), "them");
        return written;
    }
    if (length > 0 && length < oldLength) {
        const base::Status shorter = image.setLength(length);
        const base::Status synced = shorter.ok() ? image.sync() : shorter;
        if (!synced.ok()) {
            std::vector<Rewrite> back;
            for (const Rewrite& span : spans)
                back.push_back({span.offset, span.after, span.before});
            if (!rewrite(image, back).ok() || !removeJournal(io, journal).ok())
                return stays(synced.error(), "them");
            return synced;
        }
    }
    return {};
}

} // namespace

base::Status rewriteWithJournal(OpenFile& image, std::span<const Rewrite> given,
                                const std::string& label, std::int64_t length) {
    const std::int64_t oldLength = image.size();
    if (length == oldLength)
        length = 0;
    if (given.empty() && length == 0)
        return {};
    const std::vector<Rewrite> spans = cutAt(given, length > oldLength ? oldLength : -1);
    SysIo& io = image.io();
    const base::Result<std::string> resolved = resolveLinks(io, image.path());
    if (!resolved.ok())
        return resolved.error();
    const std::string journal = besideFile(resolved.value());
    JournalContent content{image.status().device,
                           image.status().inode,
                           oldLength,
                           static_cast<std::int64_t>(std::time(nullptr)),
                           label,
                           spans,
                           lastName(resolved.value()),
                           length};
    if (base::Status made = writeNewFile(io, journal, encodeJournal(content), kJournalMode);
        !made.ok()) {
        base::Error error = made.error();
        if (error.systemError == EEXIST)
            error.reason = occupant(io, journal);
        error.action = "create the journal";
        error.reason += "; nothing was written";
        return error;
    }
    if (base::Status written = carryOutJournaled(image, spans, oldLength, length, journal);
        !written.ok())
        return written;
    if (base::Status removed = removeJournal(io, journal); !removed.ok()) {
        base::Error error = removed.error();
        error.reason += "; the changes were written, and the journal is removed when the image "
                        "is next opened";
        return error;
    }
    return {};
}

} // namespace files
