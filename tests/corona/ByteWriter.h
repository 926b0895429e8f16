// Appends little- and big-endian fields to a byte vector, for building file headers by hand.
#ifndef CORONA_TESTS_BYTE_WRITER_H
#define CORONA_TESTS_BYTE_WRITER_H

#include <cstdint>
#include <random>

#include "DecodeThroughCorona.h"

namespace corona_tests {

inline void PutU8(Bytes& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }

inline void PutLE16(Bytes& out, unsigned value) {
  PutU8(out, value & 0xFF);
  PutU8(out, (value >> 8) & 0xFF);
}

inline void PutLE32(Bytes& out, std::uint32_t value) {
  PutLE16(out, value & 0xFFFF);
  PutLE16(out, value >> 16);
}

inline void PutBE32(Bytes& out, std::uint32_t value) {
  PutU8(out, value >> 24);
  PutU8(out, (value >> 16) & 0xFF);
  PutU8(out, (value >> 8) & 0xFF);
  PutU8(out, value & 0xFF);
}

// Seeded byte source: the same seed gives the same file on every run and platform.
class RandomBytes {
 public:
  explicit RandomBytes(std::uint32_t seed) : engine_(seed) {}
  std::uint8_t next() { return static_cast<std::uint8_t>(engine_() >> 24); }
  unsigned below(unsigned limit) { return static_cast<unsigned>(engine_() % limit); }

 private:
  std::mt19937 engine_;
};

}  // namespace corona_tests

#endif  // CORONA_TESTS_BYTE_WRITER_H
