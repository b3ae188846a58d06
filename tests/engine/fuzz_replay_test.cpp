// Replays the fuzz target's saved inputs through the full pass.
#include "engine/PassOnFile.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(FuzzReplay, SavedInputsPassThrough) {
    platform::RecordingMessageSink sink;
    const std::filesystem::path dir = std::filesystem::path(TESSALY_SOURCE_DIR) / "fuzz/engine/corpus";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        const PassOnFileResult result = RunFullPassOnFile(entry.path());
        EXPECT_TRUE(result.opened) << entry.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}
