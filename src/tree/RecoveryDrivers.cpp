#include "tree/RecoveryDrivers.h"

#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"

#include <memory>

using automation::WordVersion;

RecoverySteps RecoveryStepsFor(WordVersion version) {
    using Routine = std::int32_t (CDocRecover::*)();
    Routine resave = &CDocRecover::ResaveWord2003;
    Routine rebuild = &CDocRecover::RebuildWord2003;
    switch (version) {
    case WordVersion::Word97: resave = &CDocRecover::ResaveWord97; rebuild = &CDocRecover::RebuildWord97; break;
    case WordVersion::Word2000: resave = &CDocRecover::ResaveWord2000; rebuild = &CDocRecover::RebuildWord2000; break;
    case WordVersion::Word2002: resave = &CDocRecover::ResaveWord2002; rebuild = &CDocRecover::RebuildWord2002; break;
    case WordVersion::Word2003: break;
    }
    return {[resave](CDocRecover& e) { return (e.*resave)(); }, [](CDocRecover& e) { return e.RunFullPass(); },
            [rebuild](CDocRecover& e) { return (e.*rebuild)(); }};
}

std::int32_t RunRecoveryDriver(const IFrameServices& frame, const RecoverySteps& steps) {
    // The engine object is large; it lives on the heap for this call only.
    const auto engine = std::make_unique<CDocRecover>();
    if (!engine->OpenSource())
        return 0;
    if (frame.TextViewShown()) {
        engine->ReadFib(512);
        engine->ValidateFib();
        return engine->ExtractText();
    }
    if (steps.resave(*engine))
        return 1;
    if (TheApp().m_bDestinationError)
        return 0;
    std::int32_t result = steps.fullPass(*engine);
    if (result)
        result = steps.rebuild(*engine);
    return result;
}

std::int32_t CRecoveryDrivers::Recover(WordVersion version) const {
    return RunRecoveryDriver(m_frame, RecoveryStepsFor(version));
}
std::int32_t CRecoveryDrivers::RecoverWord97() const { return Recover(WordVersion::Word97); }
std::int32_t CRecoveryDrivers::RecoverWord2000() const { return Recover(WordVersion::Word2000); }
std::int32_t CRecoveryDrivers::RecoverWord2002() const { return Recover(WordVersion::Word2002); }
std::int32_t CRecoveryDrivers::RecoverWord2003() const { return Recover(WordVersion::Word2003); }
