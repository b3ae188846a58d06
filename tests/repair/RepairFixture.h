#pragma once
// A repair job in a temporary folder: the application object set up for
// one source, plenty of free space, message boxes recorded, and the strict
// Word server of one version.
#include "RecordingWordServer.h"
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace repair_test {

using automation::WordVersion;

inline std::string VersionName(WordVersion v) { return automation::WordVersionName(v).toStdString(); }

// The smallest source whose File Information Block at 512 is valid and
// whose text extracts: signature, FIB at 512 (text of 6 bytes ending at
// fcMac 518), "Hello\r" at 1024.
inline QByteArray GoodSource() {
    QByteArray b(1536, '\0');
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    b.replace(0, 8, QByteArray(sig, 8));
    auto put16 = [&](int at, std::uint16_t v) { b[at] = char(v & 0xFF); b[at + 1] = char(v >> 8); };
    auto put32 = [&](int at, std::uint32_t v) { put16(at, std::uint16_t(v)); put16(at + 2, std::uint16_t(v >> 16)); };
    put16(512, 0xA5EC);
    put32(512 + 28, 518);
    put32(512 + 76, 6);
    b.replace(1024, 6, QByteArray("Hello\r", 6));
    return b;
}

// FIB at 512 cleared: invalid, and no text can be found from it.
inline QByteArray DamagedSource() {
    QByteArray b = GoodSource();
    b.replace(512, 116, QByteArray(116, '\0'));
    return b;
}

// Identifier wrong, everything else intact: invalid, but the text still extracts.
inline QByteArray WrongIdentSource() {
    QByteArray b = GoodSource();
    b[512] = 0;
    b[513] = 0;
    return b;
}

class RepairJob {
public:
    explicit RepairJob(WordVersion version, const QString& outputFolderName = QStringLiteral("OUT"),
                       const QString& outputName = QStringLiteral("Recovered_REPORT.DOC"))
        : server(version),
          freeSpace([](const QString&) -> std::optional<std::uint64_t> { return std::uint64_t{1} << 40; }) {
        ResetTheApp();
        QDir(dir.path()).mkpath(QStringLiteral("SRC"));
        QDir(dir.path()).mkpath(outputFolderName);
        QDir(dir.path()).mkpath(QStringLiteral("WORK"));
        root = platform::ToProgramPath(dir.path().toStdString());
        CRecoveryApp& app = TheApp();
        app.m_strSourcePath = root + "\\SRC\\REPORT.DOC";
        app.m_strOutputFolder = root + "\\" + outputFolderName;
        app.m_strWordOutputPath = app.m_strOutputFolder + "\\" + outputName;
        app.m_strProgramFolder = root + "\\";
        app.m_strTempFolder = root + "\\WORK";
        app.m_bToOriginalFolder = TRUE;
        WriteSource(GoodSource());
    }
    ~RepairJob() { ResetTheApp(); }

    void WriteSource(const QByteArray& bytes) { WriteHost(dir.filePath("SRC/REPORT.DOC"), bytes); }
    static void WriteHost(const QString& hostPath, const QByteArray& bytes) {
        QFile f(hostPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The engine object with its source open.
    std::unique_ptr<CDocRecover> OpenEngine() {
        auto e = std::make_unique<CDocRecover>();
        EXPECT_EQ(e->OpenSource(), 1);
        return e;
    }
    // Host files of a folder below the job's root, by name.
    QStringList Files(const QString& folder) const {
        return QDir(dir.filePath(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QByteArray ReadHost(const QString& relative) const {
        QFile f(dir.filePath(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString root;  // program path of dir
    recording_server::RecordingWordServer server;
    platform::RecordingMessageSink messages;
    platform::ScopedFreeSpaceOverride freeSpace;
};

// No exception escapes, every server object is released, and the routine's
// Word was told to quit (or never started).
inline void ExpectWordEnded(const recording_server::RecordingWordServer& server) {
    EXPECT_EQ(server.LiveObjects(), 0u);
    for (int i = 1; i <= server.Instances(); ++i)
        EXPECT_TRUE(server.HasQuit(i)) << "instance " << i;
}

}  // namespace repair_test
