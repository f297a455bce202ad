#include "FaultInjectingIo.h"

#include <algorithm>
#include <cerrno>

void FaultInjectingIo::failCall(Call call, int error, int nth) {
    m_faults[call] = {error, nth == 0 ? 0 : m_counts[call] + nth};
}

void FaultInjectingIo::failWritesAfter(long long bytes, int error, const std::string& into) {
    m_writeBudget = bytes;
    m_writeError = error;
    m_budgetFile = into;
}

void FaultInjectingIo::reset() {
    m_faults.clear();
    m_counts.clear();
    m_writeBudget = -1;
    m_budgetFile.clear();
    m_written = 0;
    m_writes.clear();
    m_writtenPaths.clear();
    m_opened.clear();
    m_callsLeft = -1;
    m_dead = false;
}

std::vector<FaultInjectingIo::Span> FaultInjectingIo::writesInto(const std::string& path) const {
    std::vector<Span> into;
    for (std::size_t i = 0; i < m_writes.size(); ++i)
        if (m_writtenPaths[i] == path)
            into.push_back(m_writes[i]);
    return into;
}

int FaultInjectingIo::opensOf(const std::string& path) const {
    return static_cast<int>(std::count(m_opened.begin(), m_opened.end(), path));
}

int FaultInjectingIo::count(Call call) const {
    const auto found = m_counts.find(call);
    return found == m_counts.end() ? 0 : found->second;
}

int FaultInjectingIo::enter(Call call) {
    if (m_callsLeft == 0) {
        m_dead = true;
        return EIO;
    }
    if (m_callsLeft > 0)
        --m_callsLeft;
    const int number = ++m_counts[call];
    const auto fault = m_faults.find(call);
    if (fault == m_faults.end())
        return 0;
    if (fault->second.nth == 0 || fault->second.nth == number)
        return fault->second.error;
    return 0;
}

int FaultInjectingIo::open(const std::string& path, Mode mode) {
    if (const int error = enter(Call::Open))
        return -error;
    if (mode != Mode::ReadOnly)
        if (const int error = enter(Call::OpenForWriting))
            return -error;
    const int fd = files::systemIo().open(path, mode);
    if (fd >= 0) {
        m_openPaths[fd] = path;
        m_opened.push_back(path);
    }
    return fd;
}

int FaultInjectingIo::createUnique(std::string& path) {
    if (const int error = enter(Call::CreateUnique))
        return -error;
    return files::systemIo().createUnique(path);
}

std::int64_t FaultInjectingIo::pread(int fd, std::uint8_t* buffer, std::size_t count,
                                     std::int64_t offset) {
    if (const int error = enter(Call::Pread))
        return -error;
    return files::systemIo().pread(fd, buffer, count, offset);
}

std::int64_t FaultInjectingIo::pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                                      std::int64_t offset) {
    if (m_callsLeft == 0 && !m_dead) { // the write in progress when the process died
        m_dead = true;
        if (count > 1)
            (void)files::systemIo().pwrite(fd, buffer, count / 2, offset);
        return -EIO;
    }
    if (const int error = enter(Call::Pwrite))
        return -error;
    const bool budgeted =
        m_budgetFile.empty() || (m_openPaths.count(fd) && m_openPaths.at(fd) == m_budgetFile);
    if (budgeted && m_writeBudget == 0) { // fail once, as a full disk or a dropped device does
        m_writeBudget = -1;
        return -m_writeError;
    }
    if (budgeted && m_writeBudget > 0 && static_cast<long long>(count) > m_writeBudget)
        count = static_cast<std::size_t>(m_writeBudget);
    const std::int64_t n = files::systemIo().pwrite(fd, buffer, count, offset);
    if (n > 0) {
        m_written += n;
        m_writes.push_back({offset, n});
        m_writtenPaths.push_back(m_openPaths.count(fd) ? m_openPaths.at(fd) : std::string());
        if (budgeted && m_writeBudget > 0)
            m_writeBudget -= n;
    }
    return n;
}

std::int64_t FaultInjectingIo::read(int fd, std::uint8_t* buffer, std::size_t count) {
    if (const int error = enter(Call::Read))
        return -error;
    return files::systemIo().read(fd, buffer, count);
}

std::int64_t FaultInjectingIo::write(int fd, const std::uint8_t* buffer, std::size_t count) {
    if (const int error = enter(Call::Write))
        return -error;
    return files::systemIo().write(fd, buffer, count);
}

int FaultInjectingIo::status(int fd, files::FileStatus& status) {
    if (const int error = enter(Call::Status))
        return -error;
    const int result = files::systemIo().status(fd, status);
    status.ownerKnown = !m_noOwners;
    return result;
}

int FaultInjectingIo::status(const std::string& path, files::FileStatus& status) {
    if (const int error = enter(Call::PathStatus))
        return -error;
    const int result = files::systemIo().status(path, status);
    status.ownerKnown = !m_noOwners;
    return result;
}

int FaultInjectingIo::linkStatus(const std::string& path, files::FileStatus& status) {
    if (const int error = enter(Call::LinkStatus))
        return -error;
    const int result = files::systemIo().linkStatus(path, status);
    status.ownerKnown = !m_noOwners;
    return result;
}

int FaultInjectingIo::readLink(const std::string& path, std::string& target) {
    if (const int error = enter(Call::ReadLink))
        return -error;
    return files::systemIo().readLink(path, target);
}

int FaultInjectingIo::fsync(int fd) {
    if (const int error = enter(Call::Fsync))
        return -error;
    return files::systemIo().fsync(fd);
}

int FaultInjectingIo::setLength(int fd, std::int64_t length) {
    if (const int error = enter(Call::SetLength))
        return -error;
    return files::systemIo().setLength(fd, length);
}

int FaultInjectingIo::syncFolder(const std::string& path) {
    if (const int error = enter(Call::SyncFolder))
        return -error;
    return files::systemIo().syncFolder(path);
}

int FaultInjectingIo::close(int fd) {
    const int error = enter(Call::Close);
    const int result = files::systemIo().close(fd); // the descriptor goes either way
    m_openPaths.erase(fd);
    return error ? -error : result;
}

int FaultInjectingIo::chmod(const std::string& path, unsigned mode) {
    if (const int error = enter(Call::Chmod))
        return -error;
    return files::systemIo().chmod(path, mode);
}

int FaultInjectingIo::checkWritable(const std::string& path) {
    if (const int error = enter(Call::CheckWritable))
        return -error;
    return files::systemIo().checkWritable(path);
}

int FaultInjectingIo::setMode(int fd, unsigned mode) {
    if (const int error = enter(Call::SetMode))
        return -error;
    return files::systemIo().setMode(fd, mode);
}

int FaultInjectingIo::setOwner(int fd, unsigned owner, unsigned group) {
    if (const int error = enter(Call::SetOwner))
        return -error;
    return files::systemIo().setOwner(fd, owner, group);
}

unsigned FaultInjectingIo::newFileMode() {
    return files::systemIo().newFileMode();
}

unsigned FaultInjectingIo::effectiveUser() {
    return m_user >= 0 ? unsigned(m_user) : files::systemIo().effectiveUser();
}

std::string FaultInjectingIo::userName(unsigned user) {
    return files::systemIo().userName(user);
}

int FaultInjectingIo::lock(int fd, Lock kind) {
    if (const int error = enter(Call::Lock))
        return -error;
    return files::systemIo().lock(fd, kind);
}

int FaultInjectingIo::rename(const std::string& from, const std::string& to) {
    if (const int error = enter(Call::Rename))
        return -error;
    return files::systemIo().rename(from, to);
}

int FaultInjectingIo::unlink(const std::string& path) {
    if (const int error = enter(Call::Unlink))
        return -error;
    return files::systemIo().unlink(path);
}
