#include "ExportedNames.h"

#include <algorithm>
#include <cstring>

#if defined(_WIN32)

namespace LoggerTests {

std::vector<std::string> exportedNames(const LoggerLibrary& library) {
    const auto* base = reinterpret_cast<const unsigned char*>(library.module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (table.VirtualAddress == 0) return names;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + table.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace LoggerTests

#else

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace LoggerTests {
namespace {

std::string loadedFilePath(const LoggerLibrary& library) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(library.createOrvLogger), &info) == 0 ||
        info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A copy of the record of type T at `offset` (copied: the file bytes need not be aligned), or
// nothing when it does not lie inside the file.
template <typename T>
std::optional<T> recordAt(const std::string& file, std::size_t offset) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) return std::nullopt;
    T record;
    std::memcpy(&record, file.data() + offset, sizeof(T));
    return record;
}

bool isExported(const ElfW(Sym) & symbol) {
    const unsigned binding = ELF64_ST_BIND(symbol.st_info);
    const unsigned type = ELF64_ST_TYPE(symbol.st_info);
    return symbol.st_shndx != SHN_UNDEF && (binding == STB_GLOBAL || binding == STB_WEAK) &&
           (type == STT_FUNC || type == STT_OBJECT) &&
           ELF64_ST_VISIBILITY(symbol.st_other) == STV_DEFAULT;
}

std::optional<ElfW(Shdr)> sectionHeader(const std::string& file, const ElfW(Ehdr) & header,
                                        std::size_t index) {
    if (index >= header.e_shnum) return std::nullopt;
    return recordAt<ElfW(Shdr)>(file, header.e_shoff + index * sizeof(ElfW(Shdr)));
}

void appendExportedNames(const std::string& file, const ElfW(Shdr) & symbols,
                         const ElfW(Shdr) & strings, std::vector<std::string>& names) {
    if (strings.sh_offset > file.size()) return;
    const std::string_view stringTable(
        file.data() + strings.sh_offset,
        std::min<std::size_t>(strings.sh_size, file.size() - strings.sh_offset));
    for (std::size_t i = 0; i < symbols.sh_size / sizeof(ElfW(Sym)); ++i) {
        const auto symbol = recordAt<ElfW(Sym)>(file, symbols.sh_offset + i * sizeof(ElfW(Sym)));
        if (!symbol || !isExported(*symbol) || symbol->st_name >= stringTable.size()) continue;
        const std::string_view rest = stringTable.substr(symbol->st_name);
        names.emplace_back(rest.substr(0, rest.find('\0')));
    }
}

std::vector<std::string> dynamicSymbolNames(const std::string& file) {
    std::vector<std::string> names;
    const auto header = recordAt<ElfW(Ehdr)>(file, 0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0) return names;
    for (std::size_t i = 0; i < header->e_shnum; ++i) {
        const auto symbols = sectionHeader(file, *header, i);
        if (!symbols || symbols->sh_type != SHT_DYNSYM) continue;
        const auto strings = sectionHeader(file, *header, symbols->sh_link);
        if (strings) appendExportedNames(file, *symbols, *strings, names);
    }
    return names;
}

}  // namespace

std::vector<std::string> exportedNames(const LoggerLibrary& library) {
    std::vector<std::string> names = dynamicSymbolNames(fileBytes(loadedFilePath(library)));
    // The linker's own start-up and tear-down hooks are in every shared object.
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) {
                                   return name == "_init" || name == "_fini";
                               }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace LoggerTests

#endif
