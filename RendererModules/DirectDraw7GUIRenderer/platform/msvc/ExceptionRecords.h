#pragma once
// C++ exceptions in the form Microsoft's compiler and runtimes throw and catch them on 32-bit x86:
// a structured exception with code 0xE06D7363 whose three arguments are a magic number, the
// thrown object and its throw information (how to destroy it, the types it can be caught as,
// how to copy it as each of them). Every runtime of that compiler (msvcrt, vcruntime140, a
// static one) recognises them, so the module raises and catches them through RaiseException and
// its own frame on the exception-handler chain, never through a runtime.

#include <cstdint>
#include <cstring>

#include "platform/Win32Types.h"

namespace ZelUISystem {
namespace msvc {

constexpr DWORD kCppExceptionCode = 0xE06D7363;
constexpr ULONG_PTR kMagic = 0x19930520;
constexpr ULONG_PTR kNewestMagic = 0x19930522;

// That compiler emits type descriptors in writable data: its runtime's type_info::name() stores
// the undecorated name it builds in `undecoratedName`. The decorated name follows, of any length.
struct TypeDescriptor {
    const void* typeInfoTable;  // type_info's vtable; matching compares names, never this
    const char* undecoratedName;
    char name[28];
};

struct MemberDisplacement {
    int memberOffset;
    int vbtableOffset;  // -1: no virtual base
    int vbaseIndexOffset;
};

struct CatchableType {
    std::uint32_t properties;
    const TypeDescriptor* type;
    MemberDisplacement displacement;
    int size;
    const void* copy;
};
constexpr std::uint32_t kSimpleType = 0x1;
constexpr std::uint32_t kHasVirtualBase = 0x4;

// The list's length varies; the module's own lists have at most two entries.
struct CatchableTypes {
    int count;
    const CatchableType* types[2];
};

struct ThrowInfo {
    std::uint32_t attributes;
    const void* destroy;
    const void* forwardCompatibility;
    const CatchableTypes* catchableTypes;
};

using ThiscallDestroy = void(__attribute__((thiscall))*)(void* object);
using ThiscallCopy = void(__attribute__((thiscall))*)(void* target, const void* source);
using ThiscallCopyVirtualBase = void(__attribute__((thiscall))*)(void* target, const void* source,
                                                                  int mostDerived);
using ThiscallWhat = const char*(__attribute__((thiscall))*)(const void* object);

inline const CatchableType* catchableType(const ThrowInfo& info, int index) {
    return info.catchableTypes->types[index];
}

// Where the part of `object` that a catchable type describes starts.
inline unsigned char* subobject(void* object, const MemberDisplacement& where) {
    auto* base = static_cast<unsigned char*>(object);
    if (where.vbtableOffset < 0) return base + where.memberOffset;
    const int* vbtable = *reinterpret_cast<int* const*>(base + where.vbtableOffset);
    return base + where.vbtableOffset + vbtable[where.vbaseIndexOffset / 4] + where.memberOffset;
}

// Copies `source` (an object of `type`) into `target` as that runtime copies into a catch by
// value: bitwise, or through the type's copy constructor (host code for the host's types).
inline void copyAs(const CatchableType& type, void* target, const void* source) {
    if ((type.properties & kSimpleType) != 0 || type.copy == nullptr)
        std::memcpy(target, source, static_cast<std::size_t>(type.size));
    else if ((type.properties & kHasVirtualBase) != 0)
        reinterpret_cast<ThiscallCopyVirtualBase>(type.copy)(target, source, 1);
    else
        reinterpret_cast<ThiscallCopy>(type.copy)(target, source);
}

inline void destroyThrown(const ThrowInfo& info, void* object) {
    if (info.destroy != nullptr) reinterpret_cast<ThiscallDestroy>(info.destroy)(object);
}

[[noreturn]] inline void raiseThrown(void* object, const ThrowInfo* info) {
    const ULONG_PTR arguments[3] = {kMagic, reinterpret_cast<ULONG_PTR>(object),
                                    reinterpret_cast<ULONG_PTR>(info)};
    RaiseException(kCppExceptionCode, EXCEPTION_NONCONTINUABLE, 3, arguments);
    __builtin_trap();  // a noncontinuable exception never comes back
}

}  // namespace msvc
}  // namespace ZelUISystem
