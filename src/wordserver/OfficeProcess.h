#pragma once
// One headless office process of the Word server: its private profile under
// the server's profile root, the pipe it accepts UNO connections on, and its
// end. The process belongs to its own process group so that nothing it
// starts outlives it.
#include <QString>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <sys/types.h>

namespace wordserver {

class OfficeProcess {
public:
    OfficeProcess() = default;
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Seeds a new private profile and starts the office on it. Throws
    // std::runtime_error with the cause when the office cannot be started.
    void Start();
    // Starts the office again on the same profile (a new profile makes the
    // office end once with a request to be restarted).
    void Restart();
    pid_t pid() const { return m_pid; }
    const QString& pipeName() const { return m_pipeName; }
    const std::filesystem::path& profile() const { return m_profile; }
    // True while the process has not ended (reaps it when it has).
    bool Alive();
    // Waits up to `grace` for the process to end by itself, then kills it;
    // removes the profile either way.
    enum class Profile { Remove, Keep };
    void Stop(std::chrono::milliseconds grace, Profile profile = Profile::Remove);
    // SIGKILL now (the watchdog); the profile stays until Stop.
    void Kill();

private:
    void Spawn();
    bool WaitEnded(std::chrono::milliseconds bound);

    std::atomic<pid_t> m_pid{-1};  // read by the watchdog thread too
    QString m_pipeName;
    std::filesystem::path m_profile;
};

// The office's program folder (TESSALY_OFFICE_PROGRAM overrides the one
// found at build time).
std::filesystem::path OfficeProgramDir();

// Kills the server processes whose owning Tessaly process has ended and
// removes their profiles. Processes of a running Tessaly are left alone.
void KillOrphanedOffices();

}  // namespace wordserver
