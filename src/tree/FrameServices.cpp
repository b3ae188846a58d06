#include "tree/FrameServices.h"

#include "app/RecoveryApp.h"

CProgressBar& IFrameServices::ReplaceProgressBar(const QString& caption) {
    m_pProgressBar.reset();
    m_pProgressBar = CreateProgressBar(caption);
    return *m_pProgressBar;
}

std::unique_ptr<CProgressBar> IFrameServices::CreateProgressBar(const QString& caption) {
    return std::make_unique<CProgressBar>(caption, 100, 100, TRUE, 0);
}

void IFrameServices::StepTreeProgress() {
    if (!TheApp().m_bBuildingTree)
        return;
    if (m_pProgressBar)
        m_pProgressBar->StepIt();
    PumpMessages();
}
