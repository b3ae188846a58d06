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
    CRecoveryApp& app = TheApp();
    const ByteString& text = *m_pszText;
    app.m_nTextBufferSize = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX - 1) + 1);
    app.m_pszRawText.assign(text.begin(), text.end());
    app.m_pszRawText.push_back(0);
    const auto filtered = FilterText(std::string_view(text));
    app.m_pszFilteredText.assign(filtered ? filtered->begin() : text.end(), filtered ? filtered->end() : text.end());
    app.m_pszFilteredText.push_back(0);
}
