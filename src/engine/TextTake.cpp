// Taking a main text found beyond the FIB position into the engine and
// publishing it as the text extraction does.
#include "engine/DocRecover.h"

#include "app/RecoveryApp.h"

#include <algorithm>
#include <cstdint>

void CDocRecover::TakeText(doctext::FoundText found) {
    m_pszText = std::move(found.text);
    m_fib.ccpText = static_cast<std::uint32_t>(m_pszText->size());
    m_textSource = found.source;
    m_strTextSourceDetail = std::move(found.detail);
    PublishText();
}

void CDocRecover::PublishText() {
    if (!m_pszText)
        return;
    const ByteString& text = *m_pszText;
    std::vector<std::uint8_t> raw(text.begin(), text.end());
    raw.push_back(0);
    const auto filtered = FilterText(std::string_view(text));
    std::vector<std::uint8_t> clean;
    if (filtered)
        clean.assign(filtered->begin(), filtered->end());
    clean.push_back(0);
    TheApp().SetTextBuffers(std::move(raw), std::move(clean));
}
