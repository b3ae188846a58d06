#include "app/RecoveryApp.h"
#include "app/StringTable.h"

#include <gtest/gtest.h>

TEST(StringTable, TextsAreExactlyTheProgramsOwn) {
    EXPECT_EQ(app::LoadString(32807), "File is severely corrupted and  cannot be repaired.");
    EXPECT_EQ(app::LoadString(32798), "Software is not installed properly.\n Please Reinstall it.");
    EXPECT_EQ(app::LoadString(32812), "Tessaly");
    EXPECT_TRUE(app::LoadString(1).isEmpty());
}

TEST(RecoveryApp, StartsWithItsInitialValuesAndRefreshesOnIdle) {
    ResetTheApp();
    CRecoveryApp& a = TheApp();
    EXPECT_EQ(a.m_nRecoveredIndex, 1);
    EXPECT_EQ(a.m_bSaveAsWord, TRUE);
    EXPECT_EQ(a.m_bStop, TRUE);
    EXPECT_EQ(a.m_bCheckWordRunning, TRUE);
    EXPECT_EQ(a.m_bToOriginalFolder, FALSE);
    int refreshed = 0;
    a.m_idleRefresh = [&] { ++refreshed; };
    a.OnIdle(1);
    a.OnIdle(0);
    EXPECT_EQ(refreshed, 1);
}
