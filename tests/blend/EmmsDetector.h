#pragma once
// Catches a kernel that leaves the MMX state set (missing EMMS). MMX registers alias the x87
// register stack; after an MMX instruction without EMMS every x87 register is marked in use,
// so the next x87 load overflows the stack and yields a NaN. The doubles below are live across
// the call: the compiler must keep them in memory and load them again afterwards, which is
// where a 32-bit x87 build sees the corruption. (Builds doing floating point in SSE registers
// cannot show it; the Windows i686 build does its floating point on the x87 stack.)

namespace dd7r_test {

template <typename Call>
bool keepsFloatingPointIntact(Call&& call) {
    volatile double first = 1.25;
    volatile double second = 3.5;
    const double a = first;
    const double b = second;
    const double before = a * b + a;
    call();
    const double afterLive = a * b + a;
    const double afterFresh = first * second + first;
    return before == 5.625 && afterLive == 5.625 && afterFresh == 5.625;
}

}  // namespace dd7r_test
