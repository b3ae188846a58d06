#pragma once
// The "Word.Application" automation server on LibreOffice. Front ends call
// RegisterWordServer() at start; CreateDispatch("Word.Application") then
// starts one private headless office per Application object.
#include "automation/Variant.h"
#include "automation/WordBinding.h"

#include <QString>
#include <chrono>
#include <optional>

namespace wordserver {

// Registers the server under "Word.Application" and stops the offices that
// earlier, ended Tessaly processes left behind. `fallback` is the version
// emulated when CurVer names none (none: the server then cannot start).
void RegisterWordServer(std::optional<automation::WordVersion> fallback = std::nullopt);

// The Word version the registry's HKEY_CLASSES_ROOT\Word.Application\CurVer
// names ("Word.Application.11" is Word 2003); nullopt when it names none.
std::optional<automation::WordVersion> RegisteredWordVersion();

// A new Application object emulating `version` (one reference for the
// caller). Throws AutomationException when the office cannot be started.
automation::IDispatch* CreateWordApplication(automation::WordVersion version);

// The office process behind an Application object of this server, or -1.
pid_t OfficeProcessOf(automation::IDispatch* application);

// The bound on one call into the office (default 120 s, or
// TESSALY_OFFICE_CALL_TIMEOUT_MS); past it the office is stopped and the
// call fails.
std::chrono::milliseconds CallTimeout();
void SetCallTimeout(std::chrono::milliseconds bound);

}  // namespace wordserver
