#include "tree/ProgressBar.h"

#include <algorithm>

BOOL CProgressBar::SetRange(std::int32_t lower, std::int32_t upper, std::int32_t step) {
    m_lower = lower;
    m_upper = upper;
    m_step = step;
    m_pos = std::clamp(m_pos, std::min(lower, upper), std::max(lower, upper));
    return TRUE;
}

std::int32_t CProgressBar::SetPos(std::int32_t pos) {
    m_visible = true;
    const std::int32_t previous = m_pos;
    m_pos = std::clamp(pos, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    return previous;
}

void CProgressBar::SetStep(std::int32_t step) {
    m_visible = true;
    m_step = step;
}

void CProgressBar::StepIt() {
    m_visible = true;
    // A progress control wraps round to its lower bound once it passes the upper one.
    m_pos += m_step;
    if (m_pos > m_upper)
        m_pos = m_lower + (m_pos - m_upper) % std::max(1, m_upper - m_lower);
}

void CProgressBar::Clear() { m_visible = false; }
