// libFuzzer program for the engine's image reading: type, size, photo date and decoding of any bytes.
// Beyond not crashing, a picture's reported size must be the size it decodes to.
#include "engine/cleanup/ImageIO.h"

#include <cstdint>
#include <cstdlib>

using namespace quillfen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Cleaner::Bytes bytes(data, size);
    (void)Cleaner::photoDate(bytes);
    (void)Cleaner::decode(bytes, 256);
    const auto stated = Cleaner::imageSize(bytes);
    // Whole decodes only of small pictures, so that each input runs in milliseconds.
    if (stated && stated->width * stated->height <= 4'000'000) {
        if (const auto image = Cleaner::decode(bytes)) {
            if (image->width != stated->width || image->height != stated->height) std::abort();
        }
    }
    return 0;
}
