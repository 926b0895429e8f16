// Host objects the module keeps: what host code threw into the module, to be handed back to the
// host as the very same type and value, or destroyed once the module is done with it.
//
// Each kept object has storage of its own: the copy and a header. It is raised again with throw
// information of its own: the host's, with its destroy function replaced by the module's (so the
// storage is freed when that runtime destroys the object at the end of the host's catch). A
// first catchable type that no host names covers the whole storage, so a copy that runtime makes
// for a std::exception_ptr gets a header too and is destroyed through the module as well.
// Where the header goes depends on how that runtime finds the object:
// - a class: the header first, the object after it, and the catchable types' displacements
//   moved past the header (the runtime applies them to the thrown pointer);
// - a scalar or pointer ("simple" type): the runtime copies it from the thrown pointer itself
//   and applies displacements to the copied pointer value, so the object comes first and the
//   header follows at a fixed distance. Nothing here is shared between
// threads except through those copies, whose counts are atomic.

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/msvc/KeptHostObjects.h"

namespace ZelUISystem {
namespace msvc {
namespace {

constexpr int kHeaderSize = 16;  // keeps the object 8-byte aligned after the header
constexpr int kSimpleSlot = 16;  // the largest scalar that compiler throws (__m128)

// The throw information of one kept object, shared by the copies made of it.
struct KeptTypes {
    long references;
    bool objectFirst;  // a simple type
    const ThrowInfo* host;
    KeptTypes* inner;  // when host is itself a kept object's: kept alive as long as this
    ThrowInfo throwInfo;
    TypeDescriptor storageType;  // writable, as that runtime wants descriptors
    CatchableType storage;
    int count;
    // followed by CatchableType moved[count], then the list: int, CatchableType* [count + 1]
};

struct Header {
    KeptTypes* types;
    long references;  // the module's exceptions that carry it and, once handed back, the host
    bool ownStorage;  // false in a copy that runtime made in memory of its own
    bool objectAlive;
};
static_assert(sizeof(Header) <= kHeaderSize, "the header fits before the object");

unsigned char* bytes(void* at) { return static_cast<unsigned char*>(at); }
template <bool objectFirst>
Header* headerAt(void* thrown) {
    return reinterpret_cast<Header*>(objectFirst ? bytes(thrown) + kSimpleSlot : bytes(thrown));
}
void* objectIn(Header* header) {
    return header->types->objectFirst ? bytes(header) - kSimpleSlot : bytes(header) + kHeaderSize;
}
void* thrownPointer(Header* header) {
    return header->types->objectFirst ? objectIn(header) : header;
}
CatchableType* movedTypes(KeptTypes* types) { return reinterpret_cast<CatchableType*>(types + 1); }
const CatchableType& hostFirst(const KeptTypes* types) { return *catchableType(*types->host, 0); }

void releaseTypes(KeptTypes* types) {
    if (types == nullptr || __atomic_sub_fetch(&types->references, 1, __ATOMIC_ACQ_REL) != 0) return;
    releaseTypes(types->inner);
    std::free(types);
}

void destroyObject(Header* header) {
    if (!header->objectAlive) return;
    header->objectAlive = false;
    destroyThrown(*header->types->host, objectIn(header));
}

void releaseStorage(Header* header) {
    if (__atomic_sub_fetch(&header->references, 1, __ATOMIC_ACQ_REL) != 0) return;
    destroyObject(header);
    KeptTypes* types = header->types;
    std::free(thrownPointer(header));
    releaseTypes(types);
}

void copyObject(const KeptTypes* types, void* target, void* source) {
    const CatchableType& first = hostFirst(types);
    if (types->objectFirst)
        std::memcpy(target, source, static_cast<std::size_t>(first.size));
    else
        copyAs(first, target, subobject(source, first.displacement));
}

// That runtime's destroy call at the end of a catch, or for a copy it made.
template <bool objectFirst>
void __attribute__((thiscall)) destroyKept(void* thrown) {
    Header* header = headerAt<objectFirst>(thrown);
    destroyObject(header);
    if (header->ownStorage)
        releaseStorage(header);
    else
        releaseTypes(header->types);
}

// That runtime's copy of the whole storage (a std::exception_ptr's).
template <bool objectFirst>
void __attribute__((thiscall)) copyKept(void* thrownTarget, void* thrownSource) {
    Header* target = headerAt<objectFirst>(thrownTarget);
    Header* source = headerAt<objectFirst>(thrownSource);
    __atomic_add_fetch(&source->types->references, 1, __ATOMIC_RELAXED);
    *target = {source->types, 1, false, false};
    copyObject(source->types, objectIn(target), objectIn(source));
    target->objectAlive = true;
}

bool isKeptDestroy(const void* destroy) {
    return destroy == reinterpret_cast<const void*>(&destroyKept<true>) ||
           destroy == reinterpret_cast<const void*>(&destroyKept<false>);
}

KeptTypes* typesOf(const ThrowInfo* throwInfo) {
    return reinterpret_cast<KeptTypes*>(reinterpret_cast<unsigned char*>(const_cast<ThrowInfo*>(throwInfo)) -
                                        offsetof(KeptTypes, throwInfo));
}

KeptTypes* typesFor(const ThrowInfo& host) {
    const int count = host.catchableTypes->count;
    const std::size_t movedSize = sizeof(CatchableType) * static_cast<std::size_t>(count);
    const std::size_t listSize = sizeof(int) + sizeof(CatchableType*) * static_cast<std::size_t>(count + 1);
    auto* types = static_cast<KeptTypes*>(std::malloc(sizeof(KeptTypes) + movedSize + listSize));
    if (types == nullptr) return nullptr;
    types->references = 1;
    types->host = &host;
    // A kept object that host code let travel on into another guarded call: its throw
    // information lives in its types, which must outlive this copy.
    types->inner = isKeptDestroy(host.destroy) ? typesOf(&host) : nullptr;
    if (types->inner != nullptr) __atomic_add_fetch(&types->inner->references, 1, __ATOMIC_RELAXED);
    const CatchableType& first = hostFirst(types);
    types->objectFirst = (first.properties & kSimpleType) != 0;
    const int objectSize = types->objectFirst ? kSimpleSlot : first.size;
    types->storageType = {nullptr, nullptr, ".?AVKeptHostObject@dd7r@@"};
    types->storage = {0, &types->storageType, {0, -1, 0}, kHeaderSize + objectSize,
                      types->objectFirst ? reinterpret_cast<const void*>(&copyKept<true>)
                                         : reinterpret_cast<const void*>(&copyKept<false>)};
    types->count = count;
    CatchableType* moved = movedTypes(types);
    auto* list = reinterpret_cast<CatchableTypes*>(moved + count);
    list->count = count + 1;
    list->types[0] = &types->storage;
    for (int i = 0; i < count; ++i) {
        moved[i] = *catchableType(host, i);
        MemberDisplacement& where = moved[i].displacement;
        if (!types->objectFirst)
            (where.vbtableOffset < 0 ? where.memberOffset : where.vbtableOffset) += kHeaderSize;
        list->types[i + 1] = &moved[i];
    }
    types->throwInfo = host;
    types->throwInfo.destroy = types->objectFirst
                                   ? reinterpret_cast<const void*>(&destroyKept<true>)
                                   : reinterpret_cast<const void*>(&destroyKept<false>);
    types->throwInfo.catchableTypes = list;
    return types;
}

bool isStdException(const CatchableType& type) {
    return std::strcmp(type.type->name, ".?AVexception@std@@") == 0;
}

}  // namespace

void* keepThrown(void* object, const ThrowInfo& info) noexcept {
    if (info.catchableTypes == nullptr || info.catchableTypes->count <= 0) return nullptr;
    const CatchableType& first = *catchableType(info, 0);
    if ((first.properties & kSimpleType) != 0 && first.size > kSimpleSlot) return nullptr;
    KeptTypes* types = typesFor(info);
    if (types == nullptr) return nullptr;
    const int size = types->storage.size;
    void* storage = std::malloc(static_cast<std::size_t>(size));
    if (storage == nullptr) {
        releaseTypes(types);
        return nullptr;
    }
    Header* header = types->objectFirst ? headerAt<true>(storage) : headerAt<false>(storage);
    *header = {types, 1, true, false};
    copyObject(types, objectIn(header), object);
    header->objectAlive = true;
    return header;
}

const char* keptText(void* kept) noexcept {
    auto* header = static_cast<Header*>(kept);
    const ThrowInfo& host = *header->types->host;
    for (int i = 0; i < host.catchableTypes->count; ++i) {
        const CatchableType& type = *catchableType(host, i);
        if (!isStdException(type)) continue;
        const void* exception = subobject(objectIn(header), type.displacement);
        const void* const* table = *static_cast<const void* const* const*>(exception);
        const char* text = reinterpret_cast<ThiscallWhat>(table[1])(exception);
        return text != nullptr ? text : "";
    }
    return nullptr;
}

void* shareKept(void* kept) noexcept {
    if (kept != nullptr)
        __atomic_add_fetch(&static_cast<Header*>(kept)->references, 1, __ATOMIC_RELAXED);
    return kept;
}

void releaseKept(void* kept) noexcept {
    if (kept != nullptr) releaseStorage(static_cast<Header*>(kept));
}

void handBack(void* kept) {
    auto* header = static_cast<Header*>(kept);
    raiseThrown(thrownPointer(header), &header->types->throwInfo);
}

}  // namespace msvc
}  // namespace ZelUISystem
