#include "app/platform/FreedMemory.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <barrier>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace quillfen {
namespace {

// The arenas glibc's allocator has made so far, as its own report lists them.
int arenas() {
    char* text = nullptr;
    std::size_t size = 0;
    FILE* report = open_memstream(&text, &size);
    malloc_info(0, report);
    std::fclose(report);
    int count = 0;
    for (std::string xml(text, size); xml.find("<heap nr=") != std::string::npos; ++count)
        xml.erase(0, xml.find("<heap nr=") + 1);
    std::free(text);
    return count;
}

// Thirty-two threads allocating at once, as the pools do while an import runs: each would get an arena
// of its own and with it 64 MB of address space.
int arenasAfterManyThreadsAllocateAtOnce() {
    constexpr int threads = 32;
    std::barrier allAllocated(threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&] {
            void* block = std::malloc(256);
            allAllocated.arrive_and_wait();
            std::free(block);
        });
    }
    for (auto& worker : workers) worker.join();
    return arenas();
}

TEST(FreedMemory, ThreadsShareAFewArenasSoTheAddressSpaceStaysSmall) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: arenas, once made, stay
    EXPECT_EXIT(
        {
            returnFreedPicturesToTheSystem();
            const int count = arenasAfterManyThreadsAllocateAtOnce();
            std::fprintf(stderr, "%d arenas\n", count);
            std::exit(count <= 4 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quillfen
