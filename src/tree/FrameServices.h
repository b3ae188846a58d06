#pragma once
// What the tree's operations need of the main frame, so that they run
// without a window toolkit (the Qt frame and the tests implement it).
#include "platform/wintypes.h"

class IFrameServices {
public:
    virtual ~IFrameServices() = default;
    // m_bTextViewShown: the text view of the preview is on screen; the
    // recovery drivers then only extract the text.
    virtual BOOL TextViewShown() const = 0;
};
