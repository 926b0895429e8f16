#include "Timestamp.h"

#include <cstdio>

#if defined(_WIN32)
#include "platform/Win32Types.h"
#else
#include <ctime>
#endif

namespace DllLogger {
namespace {

struct ClockReading {
    int year, month, day, hour, minute, second, millisecond;
};

#if defined(_WIN32)
ClockReading readLocalClock() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
            now.wMinute, now.wSecond, now.wMilliseconds};
}
#else
ClockReading readLocalClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec,
            static_cast<int>(now.tv_nsec / 1000000)};
}
#endif

}  // namespace

std::string localTimestamp() {
    const ClockReading now = readLocalClock();
    char text[64];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d.%03d", now.year, now.month,
                  now.day, now.hour, now.minute, now.second, now.millisecond);
    return text;
}

}  // namespace DllLogger
