#include "engine/render/FileWindowInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace quillfen {

namespace {

// Enough for a page's objects at once; longer reads (stream data) go to the reader's buffer directly.
constexpr qpdf_offset_t windowSize = 64 << 10;

// Reads `length` bytes at `offset` unless the file ends first; the count read.
size_t readAt(int descriptor, char* buffer, size_t length, qpdf_offset_t offset, const std::string& name) {
    size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(descriptor, buffer + done, length - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw std::runtime_error(name + ": " + std::strerror(errno));
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

}  // namespace

FileWindowInput::FileWindowInput(int descriptor, std::string name)
    : m_descriptor(descriptor), m_name(std::move(name)), m_window(windowSize) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) throw std::runtime_error(m_name + ": " + std::strerror(errno));
    m_size = status.st_size;
}

void FileWindowInput::load(qpdf_offset_t offset) {
    m_windowStart = offset;
    m_windowLength = static_cast<qpdf_offset_t>(
        readAt(m_descriptor, m_window.data(), m_window.size(), offset, m_name));
}

char FileWindowInput::at(qpdf_offset_t offset) {
    if (offset < m_windowStart || offset >= m_windowStart + m_windowLength) load(offset);
    if (offset >= m_windowStart + m_windowLength) throw std::runtime_error(m_name + ": file shrank");
    return m_window[static_cast<size_t>(offset - m_windowStart)];
}

qpdf_offset_t FileWindowInput::findAndSkipNextEOL() {
    const auto isEOL = [](char c) { return c == '\r' || c == '\n'; };
    while (m_position < m_size && !isEOL(at(m_position))) ++m_position;
    if (m_position >= m_size) {
        m_position = m_size;
        last_offset = m_size;
        return m_size;
    }
    const qpdf_offset_t result = m_position;
    while (m_position < m_size && isEOL(at(m_position))) ++m_position;
    return result;
}

void FileWindowInput::seek(qpdf_offset_t offset, int whence) {
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        throw std::logic_error("FileWindowInput::seek: invalid whence");
    const qpdf_offset_t base = whence == SEEK_END ? m_size : whence == SEEK_CUR ? m_position : 0;
    if (base + offset < 0) throw std::runtime_error(m_name + ": seek before the start");
    m_position = base + offset;
}

size_t FileWindowInput::read(char* buffer, size_t length) {
    last_offset = std::min(m_position, m_size);
    if (m_position >= m_size || length == 0) return 0;
    length = static_cast<size_t>(std::min<qpdf_offset_t>(static_cast<qpdf_offset_t>(length), m_size - m_position));
    size_t done = 0;
    if (static_cast<qpdf_offset_t>(length) >= windowSize / 8) {
        done = readAt(m_descriptor, buffer, length, m_position, m_name);
    } else {
        if (m_position < m_windowStart || m_position + static_cast<qpdf_offset_t>(length) > m_windowStart + m_windowLength)
            load(m_position);
        done = static_cast<size_t>(std::min<qpdf_offset_t>(static_cast<qpdf_offset_t>(length),
                                                           m_windowStart + m_windowLength - m_position));
        std::memcpy(buffer, m_window.data() + (m_position - m_windowStart), done);
    }
    m_position += static_cast<qpdf_offset_t>(done);
    return done;
}

void FileWindowInput::unreadCh(char) {
    if (m_position > 0) --m_position;
}

}  // namespace quillfen
