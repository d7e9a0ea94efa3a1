#include "ProcessResources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace arbolith {

namespace {

// An entry of the process's GDI handle table, as Windows and Wine lay it out on x86-64.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type; // 0 for a free entry
    std::uint8_t flags;
    std::uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleTableOffset = 0xF8; // in the process environment block
constexpr int kGdiHandleTableSize = 0x10000;

// An entry of the system's handle list (SystemHandleInformation).
struct SystemHandleEntry {
    ULONG process;
    UCHAR type;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

template <typename Function> Function FromNtdll(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

} // namespace

// Wine answers GetGuiResources with 0 and ERROR_CALL_NOT_IMPLEMENTED. There the live entries of
// the process's own GDI handle table are counted.
long GdiObjectCount() {
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return static_cast<long>(count);
    }
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    PROCESS_BASIC_INFORMATION basic{};
    FromNtdll<Query>("NtQueryInformationProcess")(GetCurrentProcess(), ProcessBasicInformation,
                                                  &basic, sizeof(basic), nullptr);
    const auto* block = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
    if (block == nullptr) {
        return -1;
    }
    const auto* table =
        *reinterpret_cast<const GdiHandleEntry* const*>(block + kGdiHandleTableOffset);
    if (table == nullptr) {
        return -1;
    }
    long live = 0;
    for (int i = 0; i < kGdiHandleTableSize; ++i) {
        live += table[i].type != 0;
    }
    return live;
}

// Wine's GetProcessHandleCount gives no count. There this process's entries in the system's
// handle list are counted.
long KernelHandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) {
        return static_cast<long>(count);
    }
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = FromNtdll<Query>("NtQuerySystemInformation");
    std::vector<std::uint8_t> list(std::size_t{1} << 16);
    ULONG needed = 0;
    NTSTATUS status = 0;
    while ((status = query(kSystemHandleInformation, list.data(), static_cast<ULONG>(list.size()),
                           &needed)) == kInfoLengthMismatch) {
        list.resize(list.size() * 2);
    }
    if (status != 0) {
        return -1;
    }
    const ULONG entries = *reinterpret_cast<const ULONG*>(list.data());
    const auto* entry = reinterpret_cast<const SystemHandleEntry*>(list.data() + sizeof(ULONG_PTR));
    long mine = 0;
    for (ULONG i = 0; i < entries; ++i) {
        mine += entry[i].process == GetCurrentProcessId();
    }
    return mine;
}

} // namespace arbolith
