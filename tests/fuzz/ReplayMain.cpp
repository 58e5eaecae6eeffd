// Runs a fuzz target without libFuzzer over the files of the folders given, in name order and
// each named on standard error first, so that every build replays the seeds and past crashes.

#include "platform/FileSystem.h"
#include "tests/fuzz/FuzzSupport.h"

#include <filesystem>
#include <set>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::set<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const auto folder = fs::directory_iterator(fs::absolute(argv[i]));
        inputs.insert(fs::begin(folder), fs::end(folder));
    }
    std::string scratch = (fs::temp_directory_path() / "quelt-fuzz-XXXXXX").string();
    fuzz::check(mkdtemp(scratch.data()) && chdir(scratch.c_str()) == 0,
                "cannot make a scratch folder");
    for (const fs::path& input : inputs) {
        std::fprintf(stderr, "%s\n", input.c_str());
        const std::string bytes = platform::readWholeFile(input).value_or("");
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    fs::remove_all(scratch);
    return inputs.empty() ? 1 : 0;
}
