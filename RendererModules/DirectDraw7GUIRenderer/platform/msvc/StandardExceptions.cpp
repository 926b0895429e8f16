// The standard exceptions the module raises to hosts of Microsoft's compiler: std::exception,
// std::runtime_error and std::bad_alloc laid out as that compiler's runtime lays them out.
//
// Their texts cost nothing once the exception is gone. A text lives in a block of its own that
// the thrown object owns (its "frees the text" flag set), and that runtime destroys the thrown
// object through the module's destroy function when the catch ends. So:
// - a host that catches by reference reads the text until its catch ends; its own copies (the
//   copy constructor of its std::exception sees the flag) duplicate the text in its own heap;
// - the copies that runtime makes through the module's copy function on the heap (what a
//   std::exception_ptr holds) share the block and keep it alive until the runtime destroys
//   them; the copy it makes for a catch by value lives on the catching thread's stack, is gone
//   by the end of the catch, and shares the text without owning it.

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/msvc/KeptHostObjects.h"

namespace ZelUISystem {
namespace msvc {
namespace {

// That compiler's std::exception (runtime_error and bad_alloc add nothing): the vtable, the
// text, and whether the object frees the text.
struct StdException {
    const void* const* vtable;
    const char* text;
    bool freesText;
};

struct TextBlock {
    long references;
    char text[1];
};

TextBlock* blockOf(const char* text) {
    return reinterpret_cast<TextBlock*>(const_cast<char*>(text) - offsetof(TextBlock, text));
}

void releaseText(const char* text) {
    TextBlock* block = blockOf(text);
    if (__atomic_sub_fetch(&block->references, 1, __ATOMIC_ACQ_REL) == 0) std::free(block);
}

// The calling thread's stack, from its thread information block.
bool onCurrentStack(const void* address) {
    std::uintptr_t base, limit;
    asm("movl %%fs:4, %0" : "=r"(base));
    asm("movl %%fs:8, %0" : "=r"(limit));
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return at >= limit && at < base;
}

void* __attribute__((thiscall)) destroyStdException(StdException* object, unsigned /*flags*/) {
    if (object->freesText) releaseText(object->text);
    object->freesText = false;
    return object;  // the memory is its holder's
}
void __attribute__((thiscall)) endStdException(StdException* object) {
    destroyStdException(object, 0);
}
const char* __attribute__((thiscall)) whatStdException(const StdException* object) {
    return object->text != nullptr ? object->text : "Unknown exception";
}
// A copy on the heap (a std::exception_ptr's) is destroyed through endStdException: it shares
// the text. A copy on this thread's stack is a catch by value: the host's compiler destroys it
// with the host's own destructor, so it must not own the text; it dies before the thrown object.
void __attribute__((thiscall)) copyStdException(StdException* target, const StdException* source) {
    *target = *source;
    target->freesText = source->freesText && !onCurrentStack(target);
    if (target->freesText) __atomic_add_fetch(&blockOf(target->text)->references, 1, __ATOMIC_RELAXED);
}

// ---- that compiler's type information for the three types (descriptors writable)

TypeDescriptor exceptionType = {nullptr, nullptr, ".?AVexception@std@@"};
TypeDescriptor runtimeErrorType = {nullptr, nullptr, ".?AVruntime_error@std@@"};
TypeDescriptor badAllocType = {nullptr, nullptr, ".?AVbad_alloc@std@@"};

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
// The locator sits right before the table, where that compiler's typeid looks for it.
struct VirtualTable {
    const ObjectLocator* locator;
    const void* slots[2];  // scalar deleting destructor, what()
};

const BaseClassDescriptor exceptionBase = {&exceptionType, 0, {0, -1, 0}, 0};
const BaseClassDescriptor runtimeErrorBase = {&runtimeErrorType, 1, {0, -1, 0}, 0};
const BaseClassDescriptor badAllocBase = {&badAllocType, 1, {0, -1, 0}, 0};
const BaseClassDescriptor* const exceptionBases[] = {&exceptionBase};
const BaseClassDescriptor* const runtimeErrorBases[] = {&runtimeErrorBase, &exceptionBase};
const BaseClassDescriptor* const badAllocBases[] = {&badAllocBase, &exceptionBase};
const ClassHierarchy exceptionHierarchy = {0, 0, 1, exceptionBases};
const ClassHierarchy runtimeErrorHierarchy = {0, 0, 2, runtimeErrorBases};
const ClassHierarchy badAllocHierarchy = {0, 0, 2, badAllocBases};
const ObjectLocator exceptionLocator = {0, 0, 0, &exceptionType, &exceptionHierarchy};
const ObjectLocator runtimeErrorLocator = {0, 0, 0, &runtimeErrorType, &runtimeErrorHierarchy};
const ObjectLocator badAllocLocator = {0, 0, 0, &badAllocType, &badAllocHierarchy};

const void* const kDestroySlot = reinterpret_cast<const void*>(&destroyStdException);
const void* const kWhatSlot = reinterpret_cast<const void*>(&whatStdException);
const VirtualTable exceptionTable = {&exceptionLocator, {kDestroySlot, kWhatSlot}};
const VirtualTable runtimeErrorTable = {&runtimeErrorLocator, {kDestroySlot, kWhatSlot}};
const VirtualTable badAllocTable = {&badAllocLocator, {kDestroySlot, kWhatSlot}};

CatchableType catchableAs(const TypeDescriptor& type) {
    return {0, &type, {0, -1, 0}, sizeof(StdException), reinterpret_cast<const void*>(&copyStdException)};
}
const CatchableType catchableException = catchableAs(exceptionType);
const CatchableType catchableRuntimeError = catchableAs(runtimeErrorType);
const CatchableType catchableBadAlloc = catchableAs(badAllocType);
const CatchableTypes exceptionCatchable = {1, {&catchableException, nullptr}};
const CatchableTypes runtimeErrorCatchable = {2, {&catchableRuntimeError, &catchableException}};
const CatchableTypes badAllocCatchable = {2, {&catchableBadAlloc, &catchableException}};
const void* const kEnd = reinterpret_cast<const void*>(&endStdException);
const ThrowInfo exceptionThrow = {0, kEnd, nullptr, &exceptionCatchable};
const ThrowInfo runtimeErrorThrow = {0, kEnd, nullptr, &runtimeErrorCatchable};
const ThrowInfo badAllocThrow = {0, kEnd, nullptr, &badAllocCatchable};

[[noreturn]] void raise(const VirtualTable& table, const ThrowInfo& info, const char* text,
                        bool freesText) {
    StdException object{table.slots, text, freesText};
    raiseThrown(&object, &info);
}

}  // namespace

const char* makeText(const char* text) noexcept {
    const std::size_t length = std::strlen(text);
    auto* block = static_cast<TextBlock*>(std::malloc(offsetof(TextBlock, text) + length + 1));
    if (block == nullptr) return nullptr;
    block->references = 1;
    std::memcpy(block->text, text, length + 1);
    return block->text;
}

void raiseText(HostExceptionType type, const char* text, bool owned) {
    if (type == HostExceptionType::Exception) raise(exceptionTable, exceptionThrow, text, owned);
    raise(runtimeErrorTable, runtimeErrorThrow, text, owned);
}

void raiseBadAlloc() { raise(badAllocTable, badAllocThrow, "bad allocation", false); }

}  // namespace msvc
}  // namespace ZelUISystem
