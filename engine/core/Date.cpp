#include "engine/core/Date.h"

#include <chrono>

namespace quillfen {

Date Date::now() {
    using namespace std::chrono;
    const auto since = duration<double>(system_clock::now().time_since_epoch()).count();
    return fromUnixSeconds(since);
}

}  // namespace quillfen
