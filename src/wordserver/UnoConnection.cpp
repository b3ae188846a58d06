#include "wordserver/UnoConnection.h"

#include "wordserver/OfficeProcess.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <mutex>
#include <stdexcept>
#include <thread>

using namespace com::sun::star;
using rtl::OUStringToOString;

namespace wordserver {
namespace {

OUString ToOU(const QString& s) { return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size()); }

std::string ToStd(const OUString& s) { return OUStringToOString(s, RTL_TEXTENCODING_UTF8).getStr(); }

OUString FileUrl(const std::filesystem::path& p) { return ToOU(QStringLiteral("file://") + QString::fromStdString(p.string())); }

class DisposeListener : public cppu::WeakImplHelper1<lang::XEventListener> {
public:
    explicit DisposeListener(std::shared_ptr<std::atomic<bool>> flag) : m_flag(std::move(flag)) {}
    void SAL_CALL disposing(const lang::EventObject&) override { m_flag->store(true); }

private:
    std::shared_ptr<std::atomic<bool>> m_flag;
};

}  // namespace

uno::Reference<uno::XComponentContext> LocalContext() {
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    std::lock_guard lock(mutex);
    if (!context.is()) {
        const auto dir = OfficeProgramDir();
        // The office's own registries; the office API types are needed to
        // marshal the calls over the bridge.
        rtl::Bootstrap::set("URE_INTERNAL_LIB_DIR", FileUrl(dir));
        rtl::Bootstrap::set("UNO_TYPES", FileUrl(dir / "types.rdb") + " " + FileUrl(dir / "types" / "offapi.rdb"));
        rtl::Bootstrap::set("UNO_SERVICES", FileUrl(dir / "services.rdb"));
        try {
            context = cppu::defaultBootstrap_InitialComponentContext(FileUrl(dir / "unorc"));
        } catch (const uno::Exception& e) {
            throw std::runtime_error("cannot start the UNO runtime: " + ToStd(e.Message));
        }
    }
    return context;
}

UnoConnection::UnoConnection(const QString& pipeName, std::chrono::milliseconds bound,
                             const std::function<bool()>& stillStarting) {
    const auto local = LocalContext();
    const auto connector = connection::Connector::create(local);
    const auto until = std::chrono::steady_clock::now() + bound;
    uno::Reference<connection::XConnection> conn;
    for (;;) {
        try {
            conn = connector->connect("pipe,name=" + ToOU(pipeName));
            break;
        } catch (const connection::NoConnectException&) {
        }
        if (!stillStarting())
            throw std::runtime_error("the office ended while starting");
        if (std::chrono::steady_clock::now() >= until)
            throw std::runtime_error("the office did not accept a connection in time");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    try {
        const auto factory = bridge::BridgeFactory::create(local);
        m_bridge = factory->createBridge("", "urp", conn, nullptr);
        uno::Reference<lang::XComponent>(m_bridge, uno::UNO_QUERY_THROW)
            ->addEventListener(new DisposeListener(m_disposed));
        m_remoteContext.set(m_bridge->getInstance("StarOffice.ComponentContext"), uno::UNO_QUERY_THROW);
        m_desktop = frame::Desktop::create(m_remoteContext);
    } catch (const uno::Exception& e) {
        Dispose();
        throw std::runtime_error("cannot talk to the office: " + ToStd(e.Message));
    }
}

UnoConnection::~UnoConnection() { Dispose(); }

uno::Reference<uno::XInterface> UnoConnection::CreateInstance(const char* service) const {
    return m_remoteContext->getServiceManager()->createInstanceWithContext(OUString::createFromAscii(service),
                                                                         m_remoteContext);
}

void UnoConnection::Dispose() {
    m_desktop.clear();
    m_remoteContext.clear();
    if (m_bridge.is()) {
        try {
            uno::Reference<lang::XComponent>(m_bridge, uno::UNO_QUERY_THROW)->dispose();
        } catch (const uno::Exception&) {
        }
        m_bridge.clear();
    }
    m_disposed->store(true);
}

}  // namespace wordserver
