#pragma once
// The program's one message-box call. Who answers it is pluggable: the GUI
// shows a dialog, the command line writes to standard error, tests script
// the answers and record every box.
#include <QString>
#include <deque>
#include <memory>
#include <vector>

namespace platform {

enum class MbIcon { None, Exclamation, Warning, Error, Information, Question };
enum class MbButtons { Ok, OkCancel, RetryCancel, YesNo };
enum class MbResult { Ok, Cancel, Retry, Yes, No };
enum class MbOwner { None, MainWindow };
enum class MbTopmost { No, Yes };

struct MessageBoxRequest {
    QString text;
    QString caption;
    MbIcon icon = MbIcon::None;
    MbButtons buttons = MbButtons::Ok;
    MbOwner owner = MbOwner::None;
    MbTopmost topmost = MbTopmost::No;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MbResult Show(const MessageBoxRequest& request) = 0;
};

// Shows a box through the installed sink (standard error when none is).
MbResult MessageBox(const MessageBoxRequest& request);
MbResult MessageBox(const QString& text, const QString& caption, MbIcon icon, MbButtons buttons = MbButtons::Ok,
                    MbOwner owner = MbOwner::None, MbTopmost topmost = MbTopmost::No);

// Installs a sink; returns the previous one. The sink must outlive its use.
MessageSink* SetMessageSink(MessageSink* sink);

// Writes "caption: text" to standard error and answers as a person who
// cannot be asked: OK, Cancel for Retry/Cancel, No for Yes/No.
class StderrMessageSink : public MessageSink {
public:
    MbResult Show(const MessageBoxRequest& request) override;
};

// Records every box; answers from a script, then with a default.
class RecordingMessageSink : public MessageSink {
public:
    RecordingMessageSink();
    ~RecordingMessageSink() override;
    MbResult Show(const MessageBoxRequest& request) override;
    void Answer(MbResult next) { m_script.push_back(next); }
    const std::vector<MessageBoxRequest>& Boxes() const { return m_boxes; }
    QStringList Texts() const;
    void Clear() { m_boxes.clear(); }

private:
    std::vector<MessageBoxRequest> m_boxes;
    std::deque<MbResult> m_script;
    MessageSink* m_previous;
};

}  // namespace platform
