// The whole program on a batch: `kivoly decode` of 20 raw files into a folder, wall time per
// batch and pictures a second, with the default jobs (one per processor) and with one job. The raw
// files are made once by the program's own encoder from the test photograph. Beside it, what
// every run of the program pays before it does anything: its start.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kivoly {
namespace {

namespace fs = std::filesystem;

constexpr int kBatch = 20;

// Where the batches live while the benchmark runs.
struct BatchRoot {
    fs::path path = fs::temp_directory_path() / ("kivoly-batch-" + std::to_string(getpid()));
    ~BatchRoot() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// The batch folder of one quality, made on first use.
const std::string& BatchOf(int quality) {
    static BatchRoot root;
    static std::string folders[4];
    std::string& folder = folders[quality];
    if (!folder.empty()) return folder;
    folder = (root.path / ("q" + std::to_string(quality))).string();
    fs::create_directories(folder);
    const std::string first = folder + "/p0.nsr";
    const std::string encode = std::string(KIVOLY_PROGRAM) + " encode " + KIVOLY_PHOTOGRAPH +
                               " --quality " + std::to_string(quality) + " -o " + first +
                               " > /dev/null";
    if (std::system(encode.c_str()) != 0) {
        folder.clear();
        return folder;
    }
    for (int i = 1; i < kBatch; ++i)
        fs::copy_file(first, folder + "/p" + std::to_string(i) + ".nsr");
    return folder;
}

// Arguments: quality, output width (640 or 1500), jobs (0: the default).
void DecodeBatch(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    const int jobs = static_cast<int>(state.range(2));
    const std::string& folder = BatchOf(quality);
    if (folder.empty()) {
        state.SkipWithError("the raw files could not be made");
        return;
    }
    const std::string size = width == 1500 ? "1500x1125" : "640x480";
    // A settings folder of its own, so that only the options decide.
    const std::string command =
        "KIVOLY_HOME=" + folder + " " + KIVOLY_PROGRAM + " decode " + folder + "/*.nsr --quality " +
        std::to_string(quality) + " --size " + size + " -o " + folder + "/out" +
        (jobs > 0 ? " --jobs " + std::to_string(jobs) : "") + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the batch did not decode");
            break;
        }
    }
    // Pictures a second; the time column is that of a whole batch of kBatch.
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(DecodeBatch)
    ->Args({0, 640, 0})
    ->Args({2, 640, 0})
    ->Args({3, 1500, 0})
    ->Args({0, 640, 1})
    ->Args({2, 640, 1})
    ->Args({3, 1500, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// `kivoly --version`: loading, linking and starting the program.
void StartUp(benchmark::State& state) {
    const std::string command = std::string(KIVOLY_PROGRAM) + " --version > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the program did not start");
            break;
        }
    }
}
BENCHMARK(StartUp)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivoly
