// tessaly-inspect: report, filtered text and exit status.
#include "DocBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace testdoc;

namespace {

struct InspectRun {
    int status;
    std::string out;
};

InspectRun Inspect(const std::string& args) {
    InspectRun r{};
    FILE* p = ::popen((std::string(TESSALY_INSPECT) + " " + args + " 2>/dev/null").c_str(), "r");
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        r.out.append(buf, n);
    r.status = WEXITSTATUS(::pclose(p));
    return r;
}

TEST(InspectCli, PrintsTheReportAndTheFilteredText) {
    TempDoc doc(Simple({.text = "Intro\rCaf\xE9 one\x0Btwo\x07\x07" "end\r"}).bytes());
    const InspectRun report = Inspect(doc.path().string());
    EXPECT_EQ(report.status, 0);
    EXPECT_NE(report.out.find("found at: 512 (standard place)"), std::string::npos);
    EXPECT_NE(report.out.find("Caf\xC3\xA9 one<0B>two<07><07>end<0D>"), std::string::npos) << report.out;
    EXPECT_NE(report.out.find("codes: 1 70 1"), std::string::npos);
    const InspectRun text = Inspect("--text " + doc.path().string());
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "Intro\nCaf\xC3\xA9 one\ntwo\t\tend\n");
}

TEST(InspectCli, ExitStatusForFailureAndBadUsage) {
    TempDoc broken(Bytes(4096, 0));
    EXPECT_EQ(Inspect(broken.path().string()).status, 1);
    EXPECT_EQ(Inspect("/nonexistent/file.doc").status, 1);
    EXPECT_EQ(Inspect("").status, 2);
    EXPECT_EQ(Inspect("--bogus x").status, 2);
}

}  // namespace
