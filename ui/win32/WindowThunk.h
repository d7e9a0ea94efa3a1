#pragma once

#include <array>
#include <cstdint>

namespace arbolith {

// The machine code that calls `procedure` with `object` in place of the window handle. x86-64:
// mov rcx, object; mov rax, procedure; jmp rax. i386: mov [esp+4], object; jmp procedure.
#if defined(_M_X64) || defined(__x86_64__)
inline constexpr std::size_t kThunkSize = 22;
#else
inline constexpr std::size_t kThunkSize = 13;
#endif
using WindowThunk = std::array<std::uint8_t, kThunkSize>;

// `codeAddress` is where the code will be executed; the i386 jump is relative to it.
WindowThunk EncodeWindowThunk(const void* object, const void* procedure,
                              std::uintptr_t codeAddress);

// Puts the thunk into memory of its own that may be executed but no longer written, and gives
// its address, or nullptr if the memory cannot be had.
void* MakeExecutableThunk(const void* object, const void* procedure);
void FreeExecutableThunk(void* code);

} // namespace arbolith
