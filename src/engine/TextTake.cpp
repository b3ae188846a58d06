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
