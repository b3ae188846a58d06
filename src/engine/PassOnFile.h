#pragma once
// Runs the engine's full pass over one file, read-only: no output copy, no
// Word. For the inspection command, the fuzz target, tests and benchmarks.
#include "engine/DocRecover.h"

#include <filesystem>
#include <memory>

struct PassOnFileResult {
    std::unique_ptr<CDocRecover> engine;  // null when the file could not be opened
    std::int32_t opened = 0;
    std::int32_t passResult = 0;
};

// Points the application object's source path at the file, opens it and
// runs RunFullPass. Message boxes go to the installed sink.
PassOnFileResult RunFullPassOnFile(const std::filesystem::path& hostPath);
