#pragma once
// The status-bar progress bar as the tree and the runs use it. The GUI
// draws it; without a window every operation only keeps the numbers.
#include "platform/wintypes.h"

#include <QString>
#include <cstdint>

class CProgressBar {
public:
    // Callers construct it with (caption, size 100, maximum 100, smooth, pane 0).
    explicit CProgressBar(QString caption, std::int32_t size = 100, std::int32_t maximum = 100,
                          BOOL smooth = TRUE, std::int32_t pane = 0)
        : m_nSize(size), m_nPane(pane), m_strMessage(std::move(caption)), m_upper(maximum), m_smooth(smooth) {}
    virtual ~CProgressBar() = default;
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    virtual BOOL SetRange(std::int32_t lower, std::int32_t upper, std::int32_t step);
    virtual std::int32_t SetPos(std::int32_t pos);
    virtual void SetStep(std::int32_t step);
    virtual void StepIt();
    virtual void Clear();

    const QString& Message() const { return m_strMessage; }
    std::int32_t Pos() const { return m_pos; }
    std::int32_t Lower() const { return m_lower; }
    std::int32_t Upper() const { return m_upper; }
    std::int32_t Step() const { return m_step; }
    bool Visible() const { return m_visible; }

protected:
    std::int32_t m_nSize;
    std::int32_t m_nPane;
    QString m_strMessage;

private:
    std::int32_t m_lower = 0;
    std::int32_t m_upper;
    std::int32_t m_step = 1;
    std::int32_t m_pos = 0;
    BOOL m_smooth;
    bool m_visible = true;
};
