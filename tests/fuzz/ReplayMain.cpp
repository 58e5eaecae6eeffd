// Runs a fuzz target over saved inputs without libFuzzer, so that ordinary and sanitizer
// builds replay every seed and every past crash input. Usage: <target> <file or folder>...;
// a folder's files go in name order. Exit status 1 when no input was found.

#include "tests/fuzz/FuzzSupport.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        std::set<std::filesystem::path> inputs{argv[i]};
        if (std::filesystem::is_directory(argv[i])) {
            inputs.clear();
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) {
                    inputs.insert(entry.path());
                }
            }
        }
        for (const std::filesystem::path& input : inputs) {
            const std::string bytes = fuzz::readWhole(input.string());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    std::printf("%zu inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
