// tessaly-bench-wordserver [COUNT] [MEMORY_DOCS]: per-document latency of
// open-and-resave and of a rebuild through the Word server (the start of the
// server included, as every repair starts its own), next to
// `soffice --headless --convert-to doc` of the same files one by one; then
// the memory of one server process over MEMORY_DOCS documents.
//
// The documents are a fixed set from the corpus: the first COUNT (default
// 20) intact, unencrypted, non-complex ones of its manifest, in its order.
#include "automation/AutomationException.h"
#include "automation/WordBinding.h"
#include "wordserver/DocumentInspector.h"
#include "wordserver/WordServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <fstream>
#include <numeric>
#include <vector>

namespace fs = std::filesystem;
using automation::Variant;
using automation::WordInterface;
using automation::WordVersion;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto V = WordVersion::Word2003;

struct Obj {
    automation::IDispatch* d = nullptr;
    WordInterface i{};
    Obj() = default;
    Obj(automation::IDispatch* p, WordInterface iface) : d(p), i(iface) {}
    Obj(Obj&& o) noexcept : d(std::exchange(o.d, nullptr)), i(o.i) {}
    Obj& operator=(Obj&& o) noexcept { std::swap(d, o.d); i = o.i; return *this; }
    ~Obj() { if (d) d->Release(); }
};

Variant Call(const Obj& o, const char* name, std::vector<Variant> args = {}) {
    const auto* m = automation::FindWordMemberByName(V, o.i, name);
    return o.d->Invoke(m->dispid, m->kind, args);
}
Obj Get(const Obj& o, const char* name, std::vector<Variant> args = {}) {
    const auto* m = automation::FindWordMemberByName(V, o.i, name);
    Variant r = Call(o, name, std::move(args));
    return Obj(r.DetachDispatch(), m->resultInterface);
}
Variant F() { return Variant::I2(0).ByRef(); }
Variant T() { return Variant::I2(1).ByRef(); }
Variant O() { return Variant::Error(automation::DISP_E_PARAMNOTFOUND).ByRef(); }
Variant S(const QString& s) { return Variant::Bstr(s).ByRef(); }

Obj Open(const Obj& documents, const fs::path& file) {
    return Get(documents, "Open", {S(QString::fromStdString(file.string())), F(), F(), F(), S(""), S(""), F(), S(""),
                                   S(""), O(), F(), F(), O(), O(), O(), O()});
}
void SaveAs(const Obj& doc, const fs::path& file) {
    Call(doc, "SaveAs", {S(QString::fromStdString(file.string())), Variant::I4(0).ByRef(), F(), S(""), F(), S(""), F(),
                         F(), F(), F(), F(), F(), F(), F(), Variant::I4(0).ByRef(), F()});
}
void Close(const Obj& doc) { Call(doc, "Close", {F(), T(), F()}); }
void Quit(const Obj& app) { Call(app, "Quit", {F(), T(), F()}); }

std::vector<fs::path> FixedSet(const fs::path& corpus, std::size_t count) {
    std::vector<fs::path> out;
    std::ifstream manifest(corpus / "MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);
    while (out.size() < count && std::getline(manifest, line)) {
        const auto tab = line.find('\t');
        const std::string path = line.substr(0, tab);
        if (line.find("complex=0") != std::string::npos && line.find("encrypted=0") != std::string::npos &&
            line.find("wident=0xA5EC") != std::string::npos && path.rfind("antiword/", 0) != 0)
            out.push_back(corpus / path);
    }
    return out;
}

long RssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        std::getline(status, key);
    }
    return -1;
}

struct Stats {
    std::vector<double> ms;
    int failures = 0;
    void Add(double v) { ms.push_back(v); }
    QString Line(const char* name) const {
        if (ms.empty())
            return QStringLiteral("%1: no successful run (%2 failed)").arg(name).arg(failures);
        auto s = ms;
        std::sort(s.begin(), s.end());
        const double mean = std::accumulate(s.begin(), s.end(), 0.0) / s.size();
        return QStringLiteral("%1: n=%2 failed=%3 mean=%4 ms median=%5 ms p90=%6 ms max=%7 ms")
            .arg(name)
            .arg(s.size())
            .arg(failures)
            .arg(mean, 0, 'f', 0)
            .arg(s[s.size() / 2], 0, 'f', 0)
            .arg(s[std::min(s.size() - 1, s.size() * 9 / 10)], 0, 'f', 0)
            .arg(s.back(), 0, 'f', 0);
    }
};

double Since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 20;
    const std::size_t memoryDocs = argc > 2 ? std::stoul(argv[2]) : 200;
    const fs::path corpus = TESSALY_CORPUS_DIR;
    QTemporaryDir work(QDir::tempPath() + "/tessaly-bench-XXXXXX");
    qputenv("XDG_CACHE_HOME", (work.path() + "/cache").toUtf8());
    const fs::path out = work.path().toStdString();
    const auto docs = FixedSet(corpus, count);
    if (docs.empty()) {
        std::fprintf(stderr, "no corpus documents under %s\n", corpus.c_str());
        return 1;
    }
    std::printf("%zu documents from %s\n", docs.size(), corpus.c_str());

    // Untimed: the texts a rebuild would type, from the office's reading.
    std::vector<QStringList> texts;
    for (const auto& d : docs) {
        try {
            texts.push_back(wordserver::InspectDocument(d).text.split('\n'));
        } catch (const std::exception&) {
            texts.push_back({});
        }
    }

    // Untimed: the converter's profile is made once, as a person's would be.
    {
        QProcess warm;
        warm.start("soffice", {"-env:UserInstallation=file://" + work.path() + "/convert-profile", "--headless",
                               "--convert-to", "doc", "--outdir", work.path() + "/warm",
                               QString::fromStdString(docs[0].string())});
        warm.waitForFinished(120000);
    }
    Stats resave, rebuild, convert;
    for (std::size_t i = 0; i < docs.size(); ++i) {
        const fs::path copy = out / ("resave-" + std::to_string(i) + ".doc");
        fs::copy_file(docs[i], copy, fs::copy_options::overwrite_existing);
        auto t = Clock::now();
        try {
            Obj app(wordserver::CreateWordApplication(V), WordInterface::Application);
            Obj documents = Get(app, "Documents");
            Obj doc = Open(documents, copy);
            SaveAs(doc, copy);
            Close(doc);
            Quit(app);
            resave.Add(Since(t));
        } catch (const automation::AutomationException& e) {
            ++resave.failures;
        }

        t = Clock::now();
        try {
            Obj app(wordserver::CreateWordApplication(V), WordInterface::Application);
            Obj documents = Get(app, "Documents");
            Call(documents, "Add", {O(), O(), O(), O()});
            Obj sel = Get(app, "Selection");
            Obj doc = Get(app, "ActiveDocument");
            for (const QString& p : texts[i]) {
                Call(sel, "TypeText", {Variant::Bstr(p)});
                Call(sel, "TypeParagraph");
            }
            SaveAs(doc, out / ("rebuild-" + std::to_string(i) + ".doc"));
            Quit(app);
            rebuild.Add(Since(t));
        } catch (const automation::AutomationException&) {
            ++rebuild.failures;
        }

        t = Clock::now();
        QProcess soffice;
        soffice.start("soffice", {"-env:UserInstallation=file://" + work.path() + "/convert-profile", "--headless",
                                  "--convert-to", "doc", "--outdir", work.path() + "/converted",
                                  QString::fromStdString(docs[i].string())});
        soffice.waitForFinished(120000);
        const fs::path converted = out / "converted" / docs[i].filename();
        if (soffice.exitCode() == 0 && fs::exists(converted))
            convert.Add(Since(t));
        else
            ++convert.failures;
    }
    std::printf("%s\n%s\n%s\n", qPrintable(resave.Line("open-and-resave (server start included)")),
                qPrintable(rebuild.Line("rebuild (server start included)")),
                qPrintable(convert.Line("soffice --headless --convert-to doc")));

    // Memory: one server process, documents one after the other. A document
    // that brings the office down costs a new server, as it would in a run.
    const auto many = FixedSet(corpus, 100000);
    auto app = std::make_unique<Obj>(wordserver::CreateWordApplication(V), WordInterface::Application);
    auto documents = std::make_unique<Obj>(Get(*app, "Documents"));
    const long startKb = RssKb(wordserver::OfficeProcessOf(app->d));
    long peakKb = startKb;
    int failures = 0, restarts = 0;
    const auto t = Clock::now();
    for (std::size_t i = 0; i < memoryDocs; ++i) {
        const fs::path copy = out / "memory.doc";
        fs::copy_file(many[i % many.size()], copy, fs::copy_options::overwrite_existing);
        try {
            Obj doc = Open(*documents, copy);
            SaveAs(doc, copy);
            Close(doc);
        } catch (const automation::AutomationException& e) {
            ++failures;
            if (wordserver::OfficeProcessOf(app->d) < 0) {
                std::printf("  office ended at %s: %s\n", many[i % many.size()].c_str(), e.what());
                ++restarts;
                documents.reset();
                app = std::make_unique<Obj>(wordserver::CreateWordApplication(V), WordInterface::Application);
                documents = std::make_unique<Obj>(Get(*app, "Documents"));
            }
        }
        peakKb = std::max(peakKb, RssKb(wordserver::OfficeProcessOf(app->d)));
    }
    const long endKb = RssKb(wordserver::OfficeProcessOf(app->d));
    std::printf("memory over %zu documents in one server process: start %ld MB, peak %ld MB, end %ld MB, "
                "%d failed, %d office restarts, %.1f s\n",
                memoryDocs, startKb / 1024, peakKb / 1024, endKb / 1024, failures, restarts, Since(t) / 1000);
    documents.reset();
    Quit(*app);
    return 0;
}
