#pragma once

#include <qpdf/InputSource.hh>

#include <string>
#include <vector>

namespace quillfen {

// A file as qpdf reads it, through positioned reads and a window of the file held in memory: qpdf
// reads a token a few bytes at a time, each read after a seek, which through a FILE cost a system
// call or two apiece. Reads past the end return fewer bytes, as from any file. Borrows the
// descriptor, which must stay open while qpdf reads; one reader, one thread.
class FileWindowInput : public InputSource {
public:
    // Throws std::runtime_error when the file's size cannot be read.
    FileWindowInput(int descriptor, std::string name);

    qpdf_offset_t findAndSkipNextEOL() override;
    const std::string& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_position; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { m_position = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

private:
    // The byte at `offset`, which must lie before the end, through the window.
    char at(qpdf_offset_t offset);
    // Moves the window to start at `offset`.
    void load(qpdf_offset_t offset);

    int m_descriptor;
    std::string m_name;
    qpdf_offset_t m_size = 0;
    qpdf_offset_t m_position = 0;
    std::vector<char> m_window;
    qpdf_offset_t m_windowStart = 0;
    qpdf_offset_t m_windowLength = 0;
};

}  // namespace quillfen
