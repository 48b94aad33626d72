#pragma once

#include <cstdint>
#include <cstdio>

namespace quillfen::testing {

// The address space a test allows a child process, so that a reader taking a huge file whole fails
// there; none under AddressSanitizer, which maps terabytes of shadow memory as a process starts.
inline std::int64_t childAddressLimit() {
#if defined(__SANITIZE_ADDRESS__)
    std::fprintf(stderr, "Under AddressSanitizer the child runs without the limit of 2 GB of address space.\n");
    return 0;
#else
    return std::int64_t(2) << 30;
#endif
}

}  // namespace quillfen::testing
