#include "platform/registry.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::TempDir;

namespace {
class RegistryFile : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("TESSALY_REGISTRY", (dir.host() / "reg.ini").c_str(), 1); }
    void TearDown() override { ::unsetenv("TESSALY_REGISTRY"); }
    TempDir dir;
};
}  // namespace

TEST_F(RegistryFile, ValuesRoundTripThroughTheStore) {
    platform::RegKey key;
    ASSERT_EQ(key.Create(platform::HKey::ClassesRoot, "Word.Application\\CurVer"), platform::kErrorSuccess);
    ASSERT_EQ(key.SetString("", "Word.Application.11"), platform::kErrorSuccess);
    ASSERT_EQ(key.SetDword("EditFlags", 0x10000), platform::kErrorSuccess);
    ASSERT_EQ(key.SetString("Odd", "line\nwith \\ backslash"), platform::kErrorSuccess);

    platform::RegKey read;
    ASSERT_EQ(read.Open(platform::HKey::ClassesRoot, "WORD.APPLICATION\\curver", platform::RegAccess::Read),
              platform::kErrorSuccess);
    QString s;
    ASSERT_TRUE(read.QueryString("", &s));
    EXPECT_EQ(s, "Word.Application.11");
    std::uint32_t flags = 0;
    ASSERT_TRUE(read.QueryDword("editflags", &flags));
    EXPECT_EQ(flags, 0x10000u);
    ASSERT_TRUE(read.QueryString("Odd", &s));
    EXPECT_EQ(s, "line\nwith \\ backslash");

    // The raw query: UTF-16LE with its NUL; too small a buffer says so.
    std::byte buf[260];
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(read.QueryValue("", &type, buf, &size), platform::kErrorSuccess);
    EXPECT_EQ(type, platform::REG_SZ);
    EXPECT_EQ(size, (19u + 1) * 2);
    EXPECT_EQ(read.QueryValue("", &type, std::span(buf, 10), &size), platform::kErrorMoreData);
}

TEST_F(RegistryFile, MissingKeysAndValuesAreReported) {
    platform::RegKey key;
    EXPECT_EQ(key.Open(platform::HKey::LocalMachine, "Software\\Orlenvik\\Tessaly", platform::RegAccess::Read),
              platform::kErrorFileNotFound);
    ASSERT_EQ(key.Create(platform::HKey::LocalMachine, "Software\\Orlenvik\\Tessaly"), platform::kErrorSuccess);
    QString s;
    EXPECT_FALSE(key.QueryString("SourcePath", &s));
    std::byte buf[8];
    std::uint32_t size = 0;
    EXPECT_EQ(key.QueryValue("SourcePath", nullptr, buf, &size), platform::kErrorFileNotFound);
    // A parent of an existing key opens too.
    platform::RegKey parent;
    EXPECT_EQ(parent.Open(platform::HKey::LocalMachine, "Software\\Orlenvik", platform::RegAccess::Read),
              platform::kErrorSuccess);
    // Written through a read-only handle: refused.
    platform::RegKey ro;
    ASSERT_EQ(ro.Open(platform::HKey::LocalMachine, "Software\\Orlenvik\\Tessaly", platform::RegAccess::Read),
              platform::kErrorSuccess);
    EXPECT_EQ(ro.SetString("SourcePath", "C:\\x\\"), platform::kErrorAccessDenied);
}
