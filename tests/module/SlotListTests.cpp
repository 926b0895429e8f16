// The slot list against the sources: the slots the interface declares, the prologues the slot
// files hold, the calls out into host code, and the maps in renderer/README.md and
// texture/README.md. A slot added, moved or given host code without its row fails here.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics/SlotList.h"

namespace {

using namespace ZelUISystem::slots;
namespace fs = std::filesystem;

const fs::path kModule = DD7R_MODULE_DIR;

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The names of the virtual slots a header declares, in slot order (the declaration order of
// every compiler but Microsoft's, whose overloads come in reverse).
std::vector<std::string> declaredSlots(const char* header) {
    static const std::regex virtualSlot(R"(^\s*virtual\s.*?(\w+)\()");
    std::vector<std::string> names;
    bool microsoftOnly = false;
    std::smatch match;
    for (const std::string& line : lines(readText(kModule / "interface" / header))) {
        if (line.find("#if defined(_MSC_VER)") != std::string::npos) microsoftOnly = true;
        if (line.find("#else") != std::string::npos) microsoftOnly = false;
        if (!microsoftOnly && std::regex_search(line, match, virtualSlot)) names.push_back(match[1]);
    }
    return names;
}

std::vector<std::string> listedMembers(Group group) {
    std::vector<std::string> names;
    for (const SlotRow& row : kSlotRows)
        if (row.group == group) names.push_back(row.member);
    return names;
}

std::vector<fs::path> moduleSources() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kModule)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".cpp" || path.extension() == ".h") files.push_back(path);
    }
    return files;
}

std::string moduleRelative(const fs::path& path) { return fs::relative(path, kModule).generic_string(); }

TEST(SlotListTest, RowsAreTheDeclaredSlotsInSlotOrder) {
    const struct {
        const char* header;
        Group group;
    } interfaces[] = {{"Renderer.h", Group::Renderer}, {"Texture.h", Group::Texture}};
    for (const auto& interface : interfaces)
        EXPECT_EQ(listedMembers(interface.group), declaredSlots(interface.header)) << interface.header;
    EXPECT_EQ(listedMembers(Group::Export),
              (std::vector<std::string>{"createRenderer", "destroyRenderer", "getLastErrorString"}));
}

// Every slot that needs a prologue has exactly one, in the file its row names; no other has one.
TEST(SlotListTest, ProloguesAreWhereTheListSaysAndNowhereElse) {
    static const std::regex prologue(R"(DD7R_(?:EXPORT_)?SLOT\((\w+)[,)])");
    std::multimap<std::string, std::string> found;  // id -> file
    for (const fs::path& file : moduleSources()) {
        if (moduleRelative(file).rfind("diagnostics/", 0) == 0) continue;  // the macros themselves
        const std::string text = readText(file);
        for (std::sregex_iterator it(text.begin(), text.end(), prologue), end; it != end; ++it)
            found.emplace((*it)[1], moduleRelative(file));
    }
    std::multimap<std::string, std::string> expected;
    for (const SlotRow& row : kSlotRows)
        if (row.needsPrologue()) expected.emplace(row.id, row.file);
    EXPECT_EQ(found, expected);
}

// Every call out into host or logging-library code goes through callHost; the slots the module
// never calls are not called.
TEST(SlotListTest, CallsOutRunThroughCallHost) {
    std::map<std::string, std::string> sources;
    for (const fs::path& file : moduleSources())
        if (moduleRelative(file) != "diagnostics/SlotList.h") sources[moduleRelative(file)] = readText(file);
    for (const HostCallRow& row : kHostCallRows) {
        int sites = 0;
        const std::string site = *row.callSite != '\0' ? row.callSite : std::string("->") + row.name + "(";
        for (const auto& [file, text] : sources) {
            const std::vector<std::string> all = lines(text);
            for (std::size_t at = 0; at < all.size(); ++at) {
                if (all[at].find(site) == std::string::npos) continue;
                ++sites;
                // callHost([&] { on the call's line or the one before it
                const std::string call = (at > 0 ? all[at - 1] : std::string()) + all[at];
                EXPECT_NE(call.find("callHost"), std::string::npos) << file << ": " << all[at];
            }
        }
        EXPECT_EQ(sites > 0, *row.callSite != '\0') << row.callee << "::" << row.name;
    }
}

TEST(SlotListTest, CallsOutAreEveryHostSlotAndLibraryEntry) {
    std::vector<std::string> declared = declaredSlots("RendererDevice.h");
    for (const std::string& name : declaredSlots("Logger.h")) declared.push_back(name);
    static const std::regex entryPoint(R"(using (\w+)Fn =)");
    const std::string logger = readText(kModule / "interface" / "Logger.h");
    for (std::sregex_iterator it(logger.begin(), logger.end(), entryPoint), end; it != end; ++it)
        declared.push_back((*it)[1]);
    std::vector<std::string> listed;
    for (const HostCallRow& row : kHostCallRows) listed.push_back(row.name);
    EXPECT_EQ(listed, declared);
}

std::string yesNo(bool value) { return value ? "yes" : "no"; }

std::string whatTheHostMayReceive(const SlotRow& row) {
    const bool passesBack = row.reach == Reach::HostCode && row.policy == ZelUISystem::HostExceptionPolicy::PassThrough;
    switch (row.raises) {
        case Raises::Nothing:
            return row.policy == ZelUISystem::HostExceptionPolicy::Convert
                       ? "nothing: any failure is a null result and the last-error text"
                       : "nothing";
        case Raises::HostOnly:
            return "only what host code threw, back unchanged";
        case Raises::RuntimeError:
            return std::string("`std::runtime_error`") +
                   (passesBack ? "; what host code threw, back unchanged" : "");
        case Raises::Exception:
            return std::string("`std::exception` with the slot's text") +
                   (row.reach == Reach::HostCode ? " (host code's failures too)" : "");
    }
    return "?";
}

// The README's table, as the list makes it.
std::string slotTable(std::initializer_list<Group> groups) {
    std::string table =
        "| Slot | File | What the host may receive | Reaches host code | Recorded by capture |\n"
        "|---|---|---|---|---|\n";
    for (Group group : groups)
        for (const SlotRow& row : kSlotRows)
            if (row.group == group)
                table += std::string("| `") + row.member + row.parameters + "` | `" + row.file + "` | " +
                         whatTheHostMayReceive(row) + " | " + yesNo(row.reach == Reach::HostCode) +
                         " | " + yesNo(row.capture == Capture::Recorded) + " |\n";
    return table;
}

// Each folder's README holds its slots' table as the list makes it and names every file of the
// folder.
TEST(SlotListTest, FolderMapsMatchTheListAndNameEveryFile) {
    const struct {
        const char* folder;
        std::initializer_list<Group> groups;
    } maps[] = {{"renderer", {Group::Renderer, Group::Export}}, {"texture", {Group::Texture}}};
    for (const auto& map : maps) {
        const std::string readme = readText(kModule / map.folder / "README.md");
        const std::string table = slotTable(map.groups);
        EXPECT_NE(readme.find(table), std::string::npos) << map.folder << "/README.md wants:\n" << table;
        for (const auto& entry : fs::directory_iterator(kModule / map.folder)) {
            const std::string name = entry.path().filename().string();
            if (name == "README.md") continue;
            EXPECT_NE(readme.find("`" + name + "`"), std::string::npos) << map.folder << ": " << name;
        }
    }
}

}  // namespace
