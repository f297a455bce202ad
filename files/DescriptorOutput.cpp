#include "DescriptorOutput.h"

#include <cerrno>

namespace files {

bool DescriptorOutput::drain() {
    const char* at = pbase();
    while (m_error == 0 && at < pptr()) {
        const std::int64_t n = m_io.write(m_fd, reinterpret_cast<const std::uint8_t*>(at),
                                          static_cast<std::size_t>(pptr() - at));
        if (n <= 0)
            m_error = n == 0 ? EIO : static_cast<int>(-n);
        else
            at += n;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync() {
    return drain() ? 0 : -1;
}

int DescriptorOutput::finish() {
    (void)drain();
    return m_error;
}

} // namespace files
