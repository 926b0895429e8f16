// Small equivalents of the Win32 functions the module uses, for builds outside Windows. They
// follow the Windows behaviour the module relies on; the local code page is UTF-8 here.

#include "platform/Win32Types.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes one UTF-8 sequence starting at text[index]; malformed input gives U+FFFD and
// consumes one byte, as Windows does without MB_ERR_INVALID_CHARS.
char32_t decodeUtf8(const unsigned char* text, std::size_t length, std::size_t& index) {
    const unsigned char lead = text[index];
    if (lead < 0x80) {
        ++index;
        return lead;
    }
    std::size_t extra = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++index;
        return kReplacementCharacter;
    }
    if (index + extra >= length) {  // sequence cut short by the end of the input
        ++index;
        return kReplacementCharacter;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const unsigned char next = text[index + k];
        if ((next & 0xC0) != 0x80) {
            ++index;
            return kReplacementCharacter;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++index;
        return kReplacementCharacter;
    }
    index += extra + 1;
    return codePoint;
}

std::u16string utf8ToUtf16(const char* text, std::size_t length) {
    std::u16string result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t index = 0; index < length;) {
        const char32_t codePoint = decodeUtf8(bytes, length, index);
        if (codePoint >= 0x10000) {
            const char32_t offset = codePoint - 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(codePoint));
        }
    }
    return result;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string utf16ToUtf8(const char16_t* text, std::size_t length) {
    std::string result;
    for (std::size_t index = 0; index < length; ++index) {
        const char16_t unit = text[index];
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < length && text[index + 1] >= 0xDC00 &&
            text[index + 1] <= 0xDFFF) {
            const char32_t high = unit - 0xD800;
            const char32_t low = text[index + 1] - 0xDC00;
            appendUtf8(result, 0x10000 + (high << 10) + low);
            ++index;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(result, kReplacementCharacter);
        } else {
            appendUtf8(result, unit);
        }
    }
    return result;
}

// Windows' convention: a length of -1 means "up to and including the terminating zero".
template <typename Char>
std::size_t inputLength(const Char* text, int length) {
    if (length >= 0) return static_cast<std::size_t>(length);
    std::size_t count = 0;
    while (text[count] != 0) ++count;
    return count + 1;
}

template <typename Char, typename String>
int copyOut(const String& converted, Char* out, int outLength) {
    if (converted.size() > static_cast<std::size_t>(INT_MAX)) return 0;
    const int needed = static_cast<int>(converted.size());
    if (outLength == 0) return needed;
    if (out == nullptr || outLength < needed) return 0;
    std::copy(converted.begin(), converted.end(), out);
    return needed;
}

std::string executableDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return {};
    std::string result(path, static_cast<std::size_t>(length));
    const std::size_t slash = result.rfind('/');
    return slash == std::string::npos ? std::string() : result.substr(0, slash + 1);
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) {
    if (fileName == nullptr) return nullptr;
    std::size_t length = 0;
    while (fileName[length] != 0) ++length;
    const std::string path = utf16ToUtf8(fileName, length);
    if (path.empty()) return nullptr;
    // Like Windows, a bare file name is looked up in the application's directory first and
    // then in the working directory; a name with a directory is loaded from there only.
    if (path.find('/') != std::string::npos) return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (HMODULE module = dlopen((executableDirectory() + path).c_str(), RTLD_NOW | RTLD_LOCAL))
        return module;
    return dlopen(("./" + path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == nullptr || procName == nullptr) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(module, procName));
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideLength) {
    if (multiByte == nullptr || multiByteLength == 0 || multiByteLength < -1 || wideLength < 0)
        return 0;
    const std::u16string converted =
        utf8ToUtf16(multiByte, inputLength(multiByte, multiByteLength));
    return copyOut(converted, wide, wideLength);
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int multiByteLength, LPCSTR, BOOL* usedDefaultChar) {
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    if (wide == nullptr || wideLength == 0 || wideLength < -1 || multiByteLength < 0) return 0;
    const std::string converted = utf16ToUtf8(wide, inputLength(wide, wideLength));
    return copyOut(converted, multiByte, multiByteLength);
}

UINT GetACP() { return CP_UTF8; }

void GetSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) return;
    *info = SYSTEM_INFO{};
    info->dwPageSize = static_cast<DWORD>(sysconf(_SC_PAGESIZE));
    info->dwNumberOfProcessors = static_cast<DWORD>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
#if defined(__x86_64__)
    info->dwProcessorType = PROCESSOR_AMD_X8664;
#else
    info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#endif
}

BOOL IsRectEmpty(const RECT* rect) {
    return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL IntersectRect(RECT* result, const RECT* a, const RECT* b) {
    if (result == nullptr || a == nullptr || b == nullptr) return FALSE;
    const RECT overlap = {std::max(a->left, b->left), std::max(a->top, b->top),
                          std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&overlap)) {
        *result = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *result = overlap;
    return TRUE;
}
