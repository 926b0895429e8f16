// What the Microsoft-ABI test programs throw into the module, from the host's device and from
// the logging library: each kind of exception a host's code may throw.
#pragma once
#include <new>
#include <stdexcept>

enum class Throw { None, RuntimeError, MyError, BadAlloc, Int, Tracked };

// A host's own exception type, with a field of its own.
class my_error : public std::runtime_error {
public:
    my_error(const char* text, int codeValue) : std::runtime_error(text), code(codeValue) {}
    int code;
};

// A class with a destructor: every live object, copies included, is counted in *alive.
class Tracked {
public:
    Tracked(int initial, int* aliveCount) : value(initial), alive(aliveCount) { ++*alive; }
    Tracked(const Tracked& other) : value(other.value), alive(other.alive) { ++*alive; }
    Tracked& operator=(const Tracked&) = delete;
    ~Tracked() {
        --*alive;
        value = -1;
    }
    int value;
    int* alive;
};

inline void throwAs(Throw kind, const char* text, int value, int* trackedAlive) {
    switch (kind) {
        case Throw::None: return;
        case Throw::RuntimeError: throw std::runtime_error(text);
        case Throw::MyError: throw my_error(text, 2607);
        case Throw::BadAlloc: throw std::bad_alloc();
        case Throw::Int: throw value;
        case Throw::Tracked: throw Tracked(value, trackedAlive);
    }
}
