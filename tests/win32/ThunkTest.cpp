#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "ui/win32/WindowThunk.h"

namespace arbolith {
namespace {

struct Arrival {
    const void* object = nullptr;
    UINT message = 0;
    WPARAM first = 0;
    LPARAM second = 0;
};
Arrival arrival;

LRESULT CALLBACK RecordArrival(const void* object, UINT message, WPARAM first, LPARAM second) {
    arrival = {object, message, first, second};
    return 4242;
}

TEST(WindowThunk, EncodesTheObjectAndAJumpToTheProcedure) {
    int object = 0;
    const WindowThunk code =
        EncodeWindowThunk(&object, reinterpret_cast<const void*>(&RecordArrival), 0x10000);
#if defined(__x86_64__)
    ASSERT_EQ(code.size(), 22u);
    EXPECT_EQ(code[0], 0x48);
    EXPECT_EQ(code[1], 0xB9);
    const void* storedObject = nullptr;
    std::memcpy(&storedObject, &code[2], sizeof(storedObject));
    EXPECT_EQ(storedObject, &object);
    EXPECT_EQ(code[10], 0x48);
    EXPECT_EQ(code[11], 0xB8);
    const void* storedProcedure = nullptr;
    std::memcpy(&storedProcedure, &code[12], sizeof(storedProcedure));
    EXPECT_EQ(storedProcedure, reinterpret_cast<const void*>(&RecordArrival));
    EXPECT_EQ(code[20], 0xFF);
    EXPECT_EQ(code[21], 0xE0);
#else
    ASSERT_EQ(code.size(), 13u);
    EXPECT_EQ(code[0], 0xC7);
    EXPECT_EQ(code[3], 0x04);
    EXPECT_EQ(code[8], 0xE9);
    std::int32_t displacement = 0;
    std::memcpy(&displacement, &code[9], 4);
    EXPECT_EQ(0x10000u + 13u + static_cast<std::uint32_t>(displacement),
              reinterpret_cast<std::uintptr_t>(&RecordArrival));
#endif
}

TEST(WindowThunk, RunsFromExecuteOnlyMemoryAndHandsOverTheObject) {
    int object = 0;
    const ExecutableThunk thunk(&object, reinterpret_cast<const void*>(&RecordArrival));
    void* code = thunk.Get();
    ASSERT_NE(code, nullptr);

    MEMORY_BASIC_INFORMATION memory{};
    ASSERT_NE(VirtualQuery(code, &memory, sizeof(memory)), 0u);
    EXPECT_EQ(memory.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));

    arrival = {};
    const auto procedure = reinterpret_cast<WNDPROC>(code);
    const auto fakeWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    EXPECT_EQ(procedure(fakeWindow, 0x401, 7, -9), 4242);
    EXPECT_EQ(arrival.object, &object);
    EXPECT_EQ(arrival.message, 0x401u);
    EXPECT_EQ(arrival.first, 7u);
    EXPECT_EQ(arrival.second, -9);
}

} // namespace
} // namespace arbolith
