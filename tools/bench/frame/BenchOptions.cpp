#include "BenchOptions.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace framebench {

namespace {

// The value of "--name=value" or "--name value" at argv[i]; advances i past a separate value.
std::optional<std::string> optionValue(const std::string& name, int argc, char** argv, int& i) {
    const std::string flag = "--" + name;
    const std::string arg = argv[i];
    if (arg.compare(0, flag.size() + 1, flag + "=") == 0) return arg.substr(flag.size() + 1);
    if (arg != flag) return std::nullopt;
    if (i + 1 >= argc) throw std::invalid_argument(flag + " needs a value");
    return std::string(argv[++i]);
}

std::string defaultSceneDirectory() {
    if (const char* fromEnvironment = std::getenv("DD7R_BENCH_SCENE"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return std::string(DD7R_REPOSITORY_ROOT) + "/tools/bench/scene";
}

}  // namespace

BenchOptions takeBenchOptions(int& argc, char** argv) {
    BenchOptions options;
    options.sceneDirectory = defaultSceneDirectory();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (auto scene = optionValue("scene-dir", argc, argv, i)) {
            options.sceneDirectory = *scene;
        } else if (std::strcmp(argv[i], "--no-frame-check") == 0) {
            options.frameCheck = false;
        } else if (auto dump = optionValue("dump-frames", argc, argv, i)) {
            options.dumpDirectory = *dump;
        } else if (auto summary = optionValue("summary-out", argc, argv, i)) {
            options.summaryFile = *summary;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

}  // namespace framebench
