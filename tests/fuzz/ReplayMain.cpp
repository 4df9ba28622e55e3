// The main of a fuzz target in the normal build: runs the target once over every file named on
// the command line or held in a folder named there, so that the corpus guards against
// regressions without any fuzzing.

#include "FuzzInput.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        if (!fs::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        for (const fs::directory_entry &entry : fs::directory_iterator(named)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER... (no input found)\n", argv[0]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path &input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 2;
        }
        const std::vector<char> content{std::istreambuf_iterator<char>(file), {}};
        // The name goes first, so that a crash or a wrong result is known by its input.
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(content.data()), content.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
