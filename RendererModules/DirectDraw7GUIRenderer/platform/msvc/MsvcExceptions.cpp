// C++ exceptions in the form Microsoft's compiler and runtimes throw and catch them on 32-bit x86:
// a structured exception with code 0xE06D7363 whose three arguments are a magic number, the
// thrown object and its throw information (how to destroy it, the types it can be caught as,
// how to copy it as each of them). Every runtime of that compiler (msvcrt, vcruntime140, a
// static one) recognises them, so the module raises and catches through RaiseException and its
// own frame on the exception-handler chain, never through a runtime.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_set>

#include "platform/HostExceptions.h"
#include "platform/Win32Types.h"

namespace ZelUISystem {
namespace msvc {

int slotDepth = 0;

namespace {

constexpr DWORD kCppExceptionCode = 0xE06D7363;
constexpr ULONG_PTR kMagic = 0x19930520;
constexpr ULONG_PTR kNewestMagic = 0x19930522;
constexpr DWORD kUnwinding = 0x2 | 0x4;  // EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND

// ---- the records of that compiler's exception and type information (32-bit: plain pointers)

struct TypeDescriptor {
    const void* typeInfoTable;  // type_info's vtable; never used by matching, which compares names
    void* spare;
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

struct BaseClassDescriptor {
    const TypeDescriptor* type;
    std::uint32_t containedBases;
    MemberDisplacement displacement;
    std::uint32_t attributes;
};

struct ClassHierarchy {
    std::uint32_t signature;
    std::uint32_t attributes;
    std::uint32_t baseCount;
    const BaseClassDescriptor* const* bases;
};

struct ObjectLocator {
    std::uint32_t signature;
    std::uint32_t offset;
    std::uint32_t constructorDisplacementOffset;
    const TypeDescriptor* type;
    const ClassHierarchy* hierarchy;
};

// That compiler's std::exception (std::runtime_error adds nothing): the vtable, the text, and
// whether the object frees the text. The module's texts stay with the module (keepText), so its
// objects never free them and any copy a host makes stays valid.
struct StdException {
    const void* const* vtable;
    const char* text;
    bool freesText;
};

using ThiscallDestroy = void(__attribute__((thiscall))*)(void* object);
using ThiscallCopy = void(__attribute__((thiscall))*)(void* target, const void* source);
using ThiscallCopyVirtualBase = void(__attribute__((thiscall))*)(void* target, const void* source,
                                                                  int mostDerived);
using ThiscallWhat = const char*(__attribute__((thiscall))*)(const void* object);

void* __attribute__((thiscall)) destroyStdException(StdException* object, unsigned /*flags*/) {
    return object;  // nothing to free: the text is the module's, the memory the holder's
}
const char* __attribute__((thiscall)) whatStdException(const StdException* object) {
    return object->text != nullptr ? object->text : "Unknown exception";
}
void __attribute__((thiscall)) copyStdException(StdException* target, const StdException* source) {
    *target = *source;
    target->freesText = false;
}
void __attribute__((thiscall)) forgetStdException(StdException* /*object*/) {}

const TypeDescriptor kExceptionType = {nullptr, nullptr, ".?AVexception@std@@"};
const TypeDescriptor kRuntimeErrorType = {nullptr, nullptr, ".?AVruntime_error@std@@"};

const BaseClassDescriptor kExceptionBase = {&kExceptionType, 0, {0, -1, 0}, 0};
const BaseClassDescriptor kRuntimeErrorBase = {&kRuntimeErrorType, 1, {0, -1, 0}, 0};
const BaseClassDescriptor* const kExceptionBases[] = {&kExceptionBase};
const BaseClassDescriptor* const kRuntimeErrorBases[] = {&kRuntimeErrorBase, &kExceptionBase};
const ClassHierarchy kExceptionHierarchy = {0, 0, 1, kExceptionBases};
const ClassHierarchy kRuntimeErrorHierarchy = {0, 0, 2, kRuntimeErrorBases};

// The locator sits right before the table, where that compiler's typeid looks for it.
struct VirtualTable {
    const ObjectLocator* locator;
    const void* slots[2];  // scalar deleting destructor, what()
};
const ObjectLocator kExceptionLocator = {0, 0, 0, &kExceptionType, &kExceptionHierarchy};
const ObjectLocator kRuntimeErrorLocator = {0, 0, 0, &kRuntimeErrorType, &kRuntimeErrorHierarchy};
const VirtualTable kExceptionTable = {
    &kExceptionLocator,
    {reinterpret_cast<const void*>(&destroyStdException), reinterpret_cast<const void*>(&whatStdException)}};
const VirtualTable kRuntimeErrorTable = {
    &kRuntimeErrorLocator,
    {reinterpret_cast<const void*>(&destroyStdException), reinterpret_cast<const void*>(&whatStdException)}};

const CatchableType kCatchableException = {0, &kExceptionType, {0, -1, 0}, sizeof(StdException),
                                           reinterpret_cast<const void*>(&copyStdException)};
const CatchableType kCatchableRuntimeError = {0, &kRuntimeErrorType, {0, -1, 0}, sizeof(StdException),
                                              reinterpret_cast<const void*>(&copyStdException)};
const CatchableTypes kExceptionCatchable = {1, {&kCatchableException, nullptr}};
const CatchableTypes kRuntimeErrorCatchable = {2, {&kCatchableRuntimeError, &kCatchableException}};
const ThrowInfo kExceptionThrow = {0, reinterpret_cast<const void*>(&forgetStdException), nullptr,
                                   &kExceptionCatchable};
const ThrowInfo kRuntimeErrorThrow = {0, reinterpret_cast<const void*>(&forgetStdException), nullptr,
                                      &kRuntimeErrorCatchable};

// ---- what host code threw

// The last exception taken from host code: its text when it is a standard exception, else a
// copy of the object (the module's memory, reused by the next one) to give back to the host.
struct Caught {
    bool standard = false;
    std::string text;
    std::unique_ptr<unsigned char[]> object;
    const ThrowInfo* throwInfo = nullptr;
    bool handedBack = false;  // the host's runtime destroys what it was given back
};
Caught caught;

void forgetKeptObject() {
    if (caught.object && !caught.handedBack && caught.throwInfo->destroy != nullptr)
        reinterpret_cast<ThiscallDestroy>(caught.throwInfo->destroy)(caught.object.get());
    caught.object.reset();
    caught.throwInfo = nullptr;
    caught.handedBack = false;
}

bool isCppException(const EXCEPTION_RECORD* record) {
    return record->ExceptionCode == kCppExceptionCode && record->NumberParameters >= 3 &&
           record->ExceptionInformation[0] >= kMagic &&
           record->ExceptionInformation[0] <= kNewestMagic &&
           record->ExceptionInformation[1] != 0 && record->ExceptionInformation[2] != 0;
}

unsigned char* subobject(void* object, const MemberDisplacement& where) {
    auto* base = static_cast<unsigned char*>(object);
    if (where.vbtableOffset < 0) return base + where.memberOffset;
    const int* vbtable = *reinterpret_cast<int* const*>(base + where.vbtableOffset);
    return base + where.vbtableOffset + vbtable[where.vbaseIndexOffset / 4] + where.memberOffset;
}

bool isStdException(const CatchableType& type) {
    return std::strcmp(type.type->name, kExceptionType.name) == 0;
}

// A copy of the thrown object as its own type (the first catchable type), made the way that
// runtime copies it into a catch-by-value; null when memory runs out.
std::unique_ptr<unsigned char[]> copyOf(void* object, const CatchableType& type) {
    std::unique_ptr<unsigned char[]> copy(new (std::nothrow) unsigned char[type.size > 0 ? type.size : 1]);
    if (!copy) return copy;
    const void* source = subobject(object, type.displacement);
    if ((type.properties & kSimpleType) != 0 || type.copy == nullptr)
        std::memcpy(copy.get(), source, static_cast<std::size_t>(type.size));
    else if ((type.properties & kHasVirtualBase) != 0)
        reinterpret_cast<ThiscallCopyVirtualBase>(type.copy)(copy.get(), source, 1);
    else
        reinterpret_cast<ThiscallCopy>(type.copy)(copy.get(), source);
    return copy;
}

// Takes what the module needs from the thrown object, then destroys it as the runtime would
// after a catch.
void takeAndDestroy(const EXCEPTION_RECORD* record) {
    void* object = reinterpret_cast<void*>(record->ExceptionInformation[1]);
    const auto* info = reinterpret_cast<const ThrowInfo*>(record->ExceptionInformation[2]);
    caught.standard = false;
    caught.text.clear();
    forgetKeptObject();
    const CatchableTypes* types = info->catchableTypes;
    const int count = types != nullptr ? types->count : 0;
    for (int i = 0; i < count; ++i) {
        if (!isStdException(*types->types[i])) continue;
        const void* exception = subobject(object, types->types[i]->displacement);
        const void* const* table = *static_cast<const void* const* const*>(exception);
        const char* text = reinterpret_cast<ThiscallWhat>(table[1])(exception);
        caught.standard = true;
        caught.text = text != nullptr ? text : "";
        break;
    }
    if (!caught.standard && count > 0) {
        caught.object = copyOf(object, *types->types[0]);
        if (caught.object) caught.throwInfo = info;
    }
    if (info->destroy != nullptr) reinterpret_cast<ThiscallDestroy>(info->destroy)(object);
}

// ---- the module's frame on the handler chain

struct GuardFrame {
    GuardFrame* next;  // the two fields of an exception registration record, in its order
    void* handler;
    void* resume[5];   // __builtin_setjmp's buffer
};

extern "C" EXCEPTION_DISPOSITION __cdecl guardHandler(EXCEPTION_RECORD* record, void* frame,
                                                     CONTEXT* /*context*/, void* /*dispatcher*/) {
    if ((record->ExceptionFlags & kUnwinding) != 0 || !isCppException(record))
        return ExceptionContinueSearch;
    try {
        takeAndDestroy(record);
    } catch (...) {  // out of memory for the text: it is still that compiler's exception
        caught.standard = false;
    }
    // Runs the clean-up of every frame between the thrower and this one, and unlinks them.
    RtlUnwind(frame, nullptr, record, nullptr);
    __builtin_longjmp(static_cast<GuardFrame*>(frame)->resume, 1);
}

GuardFrame* currentHandlerFrame() {
    GuardFrame* frame;
    asm volatile("movl %%fs:0, %0" : "=r"(frame));
    return frame;
}

void setHandlerFrame(GuardFrame* frame) { asm volatile("movl %0, %%fs:0" : : "r"(frame) : "memory"); }

}  // namespace

__attribute__((noinline)) bool callGuarded(void (*call)(void*), void* context) {
    GuardFrame frame;
    frame.next = currentHandlerFrame();
    frame.handler = reinterpret_cast<void*>(&guardHandler);
    if (__builtin_setjmp(frame.resume) != 0) {
        setHandlerFrame(frame.next);
        return false;
    }
    setHandlerFrame(&frame);
    call(context);
    setHandlerFrame(frame.next);
    return true;
}

void rethrowCaught() {
    if (caught.standard) throw std::runtime_error(caught.text);
    throw ForeignException();
}

const char* keepText(const char* text) {
    static std::unordered_set<std::string> texts;
    return texts.insert(text).first->c_str();
}

void raiseForHost(HostExceptionType type, const char* text) {
    const bool plain = type == HostExceptionType::Exception;
    StdException object{plain ? kExceptionTable.slots : kRuntimeErrorTable.slots, text, false};
    const ULONG_PTR arguments[3] = {
        kMagic, reinterpret_cast<ULONG_PTR>(&object),
        reinterpret_cast<ULONG_PTR>(plain ? &kExceptionThrow : &kRuntimeErrorThrow)};
    RaiseException(kCppExceptionCode, EXCEPTION_NONCONTINUABLE, 3, arguments);
    std::abort();  // a noncontinuable exception never comes back
}

void raiseForeignForHost() {
    if (!caught.object) raiseForHost(HostExceptionType::RuntimeError, keepText("Unknow error!"));
    const ULONG_PTR arguments[3] = {kMagic, reinterpret_cast<ULONG_PTR>(caught.object.get()),
                                    reinterpret_cast<ULONG_PTR>(caught.throwInfo)};
    caught.handedBack = true;
    RaiseException(kCppExceptionCode, EXCEPTION_NONCONTINUABLE, 3, arguments);
    std::abort();
}

}  // namespace msvc
}  // namespace ZelUISystem
