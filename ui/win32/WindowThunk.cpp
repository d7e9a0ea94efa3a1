#include "ui/win32/WindowThunk.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace arbolith {

namespace {

template <typename Value> void PutLittleEndian(WindowThunk& code, std::size_t at, Value value) {
    for (std::size_t i = 0; i < sizeof(Value); ++i) {
        code[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

WindowThunk EncodeWindowThunk(const void* object, const void* procedure,
                              std::uintptr_t codeAddress) {
    WindowThunk code{};
    const auto objectAddress = reinterpret_cast<std::uintptr_t>(object);
    const auto procedureAddress = reinterpret_cast<std::uintptr_t>(procedure);
#if defined(_M_X64) || defined(__x86_64__)
    (void)codeAddress;
    code[0] = 0x48; // mov rcx, imm64
    code[1] = 0xB9;
    PutLittleEndian<std::uint64_t>(code, 2, objectAddress);
    code[10] = 0x48; // mov rax, imm64
    code[11] = 0xB8;
    PutLittleEndian<std::uint64_t>(code, 12, procedureAddress);
    code[20] = 0xFF; // jmp rax
    code[21] = 0xE0;
#else
    code[0] = 0xC7; // mov dword [esp+4], imm32
    code[1] = 0x44;
    code[2] = 0x24;
    code[3] = 0x04;
    PutLittleEndian<std::uint32_t>(code, 4, static_cast<std::uint32_t>(objectAddress));
    code[8] = 0xE9; // jmp rel32
    PutLittleEndian<std::uint32_t>(
        code, 9, static_cast<std::uint32_t>(procedureAddress - (codeAddress + kThunkSize)));
#endif
    return code;
}

ExecutableThunk::ExecutableThunk(const void* object, const void* procedure) {
    void* memory = VirtualAlloc(nullptr, kThunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (memory == nullptr) {
        return;
    }
    const WindowThunk code =
        EncodeWindowThunk(object, procedure, reinterpret_cast<std::uintptr_t>(memory));
    std::memcpy(memory, code.data(), code.size());
    DWORD previousProtection = 0;
    if (!VirtualProtect(memory, kThunkSize, PAGE_EXECUTE_READ, &previousProtection)) {
        VirtualFree(memory, 0, MEM_RELEASE);
        return;
    }
    FlushInstructionCache(GetCurrentProcess(), memory, kThunkSize);
    code_ = memory;
}

ExecutableThunk& ExecutableThunk::operator=(ExecutableThunk&& other) noexcept {
    if (this != &other) {
        ExecutableThunk gone(std::move(*this));
        code_ = other.code_;
        other.code_ = nullptr;
    }
    return *this;
}

ExecutableThunk::~ExecutableThunk() {
    if (code_ != nullptr) {
        VirtualFree(code_, 0, MEM_RELEASE);
    }
}

} // namespace arbolith
