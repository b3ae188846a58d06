#include "platform/messagebox.h"

#include <QStringList>

#include <cstdio>

namespace platform {
namespace {
MessageSink* g_sink = nullptr;

MbResult DefaultAnswer(MbButtons buttons) {
    switch (buttons) {
    case MbButtons::Ok: return MbResult::Ok;
    case MbButtons::OkCancel:
    case MbButtons::RetryCancel: return MbResult::Cancel;
    case MbButtons::YesNo: return MbResult::No;
    }
    return MbResult::Cancel;
}
}  // namespace

MbResult MessageBox(const MessageBoxRequest& request) {
    if (g_sink)
        return g_sink->Show(request);
    StderrMessageSink fallback;
    return fallback.Show(request);
}

MbResult MessageBox(const QString& text, const QString& caption, MbIcon icon, MbButtons buttons, MbOwner owner,
                    MbTopmost topmost) {
    return MessageBox(MessageBoxRequest{text, caption, icon, buttons, owner, topmost});
}

MessageSink* SetMessageSink(MessageSink* sink) { return std::exchange(g_sink, sink); }

MbResult StderrMessageSink::Show(const MessageBoxRequest& request) {
    const QByteArray line = (request.caption + ": " + request.text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    return DefaultAnswer(request.buttons);
}

RecordingMessageSink::RecordingMessageSink() : m_previous(SetMessageSink(this)) {}

RecordingMessageSink::~RecordingMessageSink() { SetMessageSink(m_previous); }

MbResult RecordingMessageSink::Show(const MessageBoxRequest& request) {
    m_boxes.push_back(request);
    if (!m_script.empty()) {
        const MbResult r = m_script.front();
        m_script.pop_front();
        return r;
    }
    return DefaultAnswer(request.buttons);
}

QStringList RecordingMessageSink::Texts() const {
    QStringList texts;
    for (const auto& b : m_boxes)
        texts << b.text;
    return texts;
}

}  // namespace platform
