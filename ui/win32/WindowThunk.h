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

// A thunk in memory of its own that may be executed but no longer written, given back when its
// owner goes. Moving it hands the memory over.
class ExecutableThunk {
public:
    ExecutableThunk() = default;
    // Holds no memory if none can be had.
    ExecutableThunk(const void* object, const void* procedure);
    ExecutableThunk(ExecutableThunk&& other) noexcept : code_(other.code_) {
        other.code_ = nullptr;
    }
    ExecutableThunk& operator=(ExecutableThunk&& other) noexcept;
    ExecutableThunk(const ExecutableThunk&) = delete;
    ExecutableThunk& operator=(const ExecutableThunk&) = delete;
    ~ExecutableThunk();

    // The code's address, or nullptr.
    void* Get() const { return code_; }

private:
    void* code_ = nullptr;
};

} // namespace arbolith
