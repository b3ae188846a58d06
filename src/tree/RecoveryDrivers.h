#pragma once
// The per-version recovery drivers: each repairs the document the
// application object describes, first by open-and-resave, then, when that
// fails and the destination is not full, by the engine's full pass and a
// rebuild. With the text view on screen only the text is extracted.
#include "automation/WordBinding.h"
#include "tree/FrameServices.h"

#include <cstdint>
#include <functional>

class CDocRecover;

// The three strategies a driver chains, for one Word version.
struct RecoverySteps {
    std::function<std::int32_t(CDocRecover&)> resave;
    std::function<std::int32_t(CDocRecover&)> fullPass;
    std::function<std::int32_t(CDocRecover&)> rebuild;
};

// The engine's open-and-resave and rebuild routines of `version`, and its full pass.
RecoverySteps RecoveryStepsFor(automation::WordVersion version);

// One driver run: non-zero on success. The engine object lives exactly for
// the call.
std::int32_t RunRecoveryDriver(const IFrameServices& frame, const RecoverySteps& steps);

// The drivers as the tree view calls them.
class CRecoveryDrivers {
public:
    explicit CRecoveryDrivers(const IFrameServices& frame) : m_frame(frame) {}
    std::int32_t RecoverWord97() const;
    std::int32_t RecoverWord2000() const;
    std::int32_t RecoverWord2002() const;
    std::int32_t RecoverWord2003() const;
    std::int32_t Recover(automation::WordVersion version) const;

private:
    const IFrameServices& m_frame;
};
