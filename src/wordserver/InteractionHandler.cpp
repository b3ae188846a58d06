#include "wordserver/InteractionHandler.h"

#include "wordserver/OfficeSession.h"

#include <com/sun/star/task/ErrorCodeIOException.hpp>
#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionApprove.hpp>
#include <com/sun/star/task/XInteractionDisapprove.hpp>
#include <com/sun/star/ucb/InteractiveAugmentedIOException.hpp>

using namespace com::sun::star;

namespace wordserver {
namespace {
// The office's error codes carry their class in the upper bits; a warning
// has bit 31 set.
constexpr sal_uInt32 kWarningBit = 0x80000000u;
}  // namespace

void InteractionHandler::handle(const uno::Reference<task::XInteractionRequest>& request) {
    const uno::Any what = request->getRequest();
    bool warning = false;
    QString failure;
    task::ErrorCodeRequest codeRequest;
    ucb::InteractiveAugmentedIOException io;
    if (what >>= codeRequest) {
        const auto code = static_cast<sal_uInt32>(codeRequest.ErrCode);
        warning = (code & kWarningBit) != 0;
        failure = QStringLiteral(" (LibreOffice error 0x%1)").arg(code, 8, 16, QChar('0'));
    } else if (what >>= io) {
        failure = QStringLiteral(" (LibreOffice I/O error %1%2)")
                      .arg(static_cast<int>(io.Code))
                      .arg(io.Message.isEmpty() ? QString() : QStringLiteral(": ") + ToQ(io.Message));
    } else {
        failure = QStringLiteral(" (LibreOffice asked %1)").arg(ToQ(what.getValueTypeName()));
    }
    const auto continuations = request->getContinuations();
    if (warning) {
        for (const auto& c : continuations)
            if (uno::Reference<task::XInteractionApprove> approve{c, uno::UNO_QUERY}; approve.is()) {
                approve->select();
                return;
            }
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_failure.isEmpty())
            m_failure = failure;
    }
    for (const auto& c : continuations)
        if (uno::Reference<task::XInteractionAbort> abort{c, uno::UNO_QUERY}; abort.is()) {
            abort->select();
            return;
        }
    for (const auto& c : continuations)
        if (uno::Reference<task::XInteractionDisapprove> no{c, uno::UNO_QUERY}; no.is()) {
            no->select();
            return;
        }
}

QString InteractionHandler::Failure() const {
    std::lock_guard lock(m_mutex);
    return m_failure;
}

}  // namespace wordserver
