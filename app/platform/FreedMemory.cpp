#include "app/platform/FreedMemory.h"

#include <malloc.h>

namespace quillfen {

void returnFreedPicturesToTheSystem() {
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_ARENA_MAX, 4);
}

}  // namespace quillfen
