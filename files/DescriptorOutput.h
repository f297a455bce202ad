#pragma once

#include "SysIo.h"

#include <array>
#include <streambuf>

namespace files {

// A stream buffer over an open descriptor, standard output above all, that writes through
// SysIo and remembers the first failure: a full disk, a closed descriptor, a pipe whose
// reader went away. After a failure the rest of the output is dropped, so a program can
// still finish and then say that its output did not all arrive.
class DescriptorOutput final : public std::streambuf {
public:
    DescriptorOutput(SysIo& io, int fd) : m_io(io), m_fd(fd) {
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    }
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    // Writes what is buffered; 0, or the error number of the first write that failed.
    [[nodiscard]] int finish();
    // The error number of the first write that failed so far, or 0.
    [[nodiscard]] int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    SysIo& m_io;
    int m_fd;
    int m_error = 0;
    std::array<char, 1 << 16> m_buffer{};
};

} // namespace files
