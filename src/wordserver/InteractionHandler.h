#pragma once
// Answers the office's questions while a document loads: warnings are
// accepted, errors abort the load, and the first error is kept so that the
// failed load can say what went wrong.
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <QString>
#include <mutex>

namespace wordserver {

class InteractionHandler : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest>& request) override;
    // " (LibreOffice error 0x...)" or empty when the office asked nothing.
    QString Failure() const;

private:
    mutable std::mutex m_mutex;
    QString m_failure;
};

}  // namespace wordserver
