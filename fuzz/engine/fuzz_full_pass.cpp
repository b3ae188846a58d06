// Feeds arbitrary bytes to the engine's full pass, as the file it reads.
#include "engine/PassOnFile.h"
#include "platform/messagebox.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

class SilentSink : public platform::MessageSink {
public:
    platform::MbResult Show(const platform::MessageBoxRequest&) override { return platform::MbResult::Ok; }
};

const std::filesystem::path& InputPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tessaly-fuzz-" + std::to_string(::getpid()) + ".doc");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentSink sink;
    platform::SetMessageSink(&sink);
    std::FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    RunFullPassOnFile(InputPath());
    return 0;
}
