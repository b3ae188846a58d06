#pragma once
// The URP bridge to one office process. The local UNO runtime is brought up
// once per program from the office's own type and service registries, never
// with cppu::bootstrap(), which may attach to a person's running office.
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

using rtl::OUString;

namespace wordserver {

namespace css = com::sun::star;

// The local component context (created on first use; throws when the office's
// registries cannot be read).
css::uno::Reference<css::uno::XComponentContext> LocalContext();

class UnoConnection {
public:
    // Connects to the office accepting on `pipeName`, retrying until `bound`;
    // `stillStarting` is asked between tries and stops the wait when false.
    // Throws std::runtime_error with the cause.
    UnoConnection(const QString& pipeName, std::chrono::milliseconds bound, const std::function<bool()>& stillStarting);
    ~UnoConnection();
    UnoConnection(const UnoConnection&) = delete;
    UnoConnection& operator=(const UnoConnection&) = delete;

    const css::uno::Reference<css::uno::XComponentContext>& remoteContext() const { return m_remoteContext; }
    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return m_desktop; }
    css::uno::Reference<css::uno::XInterface> CreateInstance(const char* service) const;
    // False once the bridge has been disposed (the office ended or the pipe broke).
    bool Connected() const { return !m_disposed->load(); }
    void Dispose();

private:
    css::uno::Reference<css::bridge::XBridge> m_bridge;
    css::uno::Reference<css::uno::XComponentContext> m_remoteContext;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    std::shared_ptr<std::atomic<bool>> m_disposed = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace wordserver
