#include "tests/support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

// Each block carries its size in front of it, aligned as malloc aligns.
struct alignas(std::max_align_t) Header {
    std::size_t size;
};

} // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<Header*>(std::malloc(sizeof(Header) + size));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    block->size = size;
    const std::size_t live = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block + 1;
}

// The compiler cannot see that this delete pairs with the malloc-based new above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* pointer) noexcept {
    if (pointer != nullptr) {
        auto* block = static_cast<Header*>(pointer) - 1;
        liveBytes -= block->size;
        std::free(block);
    }
}
#pragma GCC diagnostic pop

void operator delete(void* pointer, std::size_t) noexcept {
    operator delete(pointer);
}

// Arrays too: a runtime that replaces the allocation functions itself (the address sanitizer's)
// would otherwise take them past the count.
void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete[](void* pointer) noexcept {
    operator delete(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept {
    operator delete(pointer);
}

namespace arbolith::testing {

std::size_t LiveBytes() {
    return liveBytes.load();
}

std::size_t PeakBytes() {
    return peakBytes.load();
}

void ResetPeakBytes() {
    peakBytes = liveBytes.load();
}

} // namespace arbolith::testing
