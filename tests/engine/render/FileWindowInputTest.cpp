#include "engine/render/FileWindowInput.h"

#include "tests/engine/PdfReading.h"

#include <gtest/gtest.h>
#include <qpdf/BufferInputSource.hh>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <random>

using namespace quillfen;
using namespace quillfen::pdfreading;

namespace {

using FileWindowInputTest = TemporaryFolderTest;

// Lines of varied length ending in every kind and run of line ends, longer than a few windows.
std::string linesOfText() {
    std::mt19937 random(7);
    const char* ends[] = {"\n", "\r\n", "\r", "\n\n\r", ""};
    std::string text;
    while (text.size() < 300000) {
        text.append(random() % 200 + (random() % 50 == 0 ? 20000 : 0), static_cast<char>('a' + random() % 26));
        text += ends[random() % 5];
    }
    return text;
}

// One step of reading, done the same on both sources; what it gives back.
struct Step {
    qpdf_offset_t offset;
    int whence;
    enum { read, eol, unread } kind;
    size_t length = 0;
};

std::string take(InputSource& input, const Step& step) {
    input.seek(step.offset, step.whence);
    std::string seen;
    if (step.kind == Step::read) {
        std::string buffer(step.length, '\0');
        buffer.resize(input.read(buffer.data(), buffer.size()));
        seen = buffer;
    } else if (step.kind == Step::eol) {
        seen = std::to_string(input.findAndSkipNextEOL());
    } else {
        char c = 0;
        input.read(&c, 1);
        input.unreadCh(c);
        input.read(&c, 1);
        seen = std::string(1, c);
    }
    return seen + " at " + std::to_string(input.tell()) + " last " + std::to_string(input.getLastOffset());
}

}  // namespace

TEST_F(FileWindowInputTest, ReadsAsQpdfReadsAFileInMemory) {
    const std::string text = linesOfText();
    const fs::path file = folder / "lines.txt";
    std::ofstream(file, std::ios::binary) << text;
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    FileWindowInput windowed(descriptor, file.string());
    BufferInputSource memory("lines", text);
    const auto size = static_cast<qpdf_offset_t>(text.size());
    const std::vector<Step> steps = {
        {0, SEEK_SET, Step::read, 128},              // a token's worth at the start
        {100, SEEK_CUR, Step::read, 128},            // on from there, inside the window
        {65500, SEEK_SET, Step::read, 128},          // across the window's end
        {1000, SEEK_SET, Step::read, 10240},         // stream data, past the window
        {-50, SEEK_END, Step::read, 128},            // the last bytes, fewer than asked
        {10, SEEK_END, Step::read, 128},             // past the end: nothing
        {size - 3, SEEK_SET, Step::read, 20000},     // a long read at the end
        {0, SEEK_SET, Step::eol},                    // the first line's end
        {70000, SEEK_SET, Step::eol},                // a line end beyond the window
        {-2, SEEK_END, Step::eol},                   // no line end left
        {size, SEEK_SET, Step::eol},                 // at the end
        {4096, SEEK_SET, Step::unread},              // one byte back
    };
    for (const auto& step : steps) {
        EXPECT_EQ(take(windowed, step), take(memory, step)) << "at " << step.offset << " from " << step.whence;
    }
    // Every line end in turn, as qpdf walks the cross-reference table.
    windowed.rewind();
    memory.rewind();
    for (int line = 0; line < 3000; ++line) ASSERT_EQ(windowed.findAndSkipNextEOL(), memory.findAndSkipNextEOL());
    ::close(descriptor);
}
