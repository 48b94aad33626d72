#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

// What /proc/self/smaps says of the mapping that holds an address.
namespace quillfen::fixtures {

// Whether the mapping holding the address is advised for huge pages ("hg" among its VmFlags).
inline bool advisedForHugePages(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0, end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-') inside = begin <= at && at < end;
        if (inside && line.rfind("VmFlags:", 0) == 0) return line.find(" hg") != std::string::npos;
    }
    return false;
}

}  // namespace quillfen::fixtures
