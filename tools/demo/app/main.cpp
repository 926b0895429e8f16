// dd7r-demo: a host program for the dd7r renderer module. See --help.

#include "app/DemoApp.h"
#include "options/DemoOptions.h"

#include <cstdio>

int main(int argc, char** argv) {
    const dd7rdemo::ParsedOptions parsed = dd7rdemo::parseOptions(argc, argv);
    if (!parsed.ok()) {
        std::fprintf(stderr, "dd7r-demo: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.helpRequested) {
        std::fputs(dd7rdemo::usageText("dd7r-demo").c_str(), stdout);
        return 0;
    }
    return dd7rdemo::runDemo(parsed.options);
}
