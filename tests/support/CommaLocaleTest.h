#pragma once
// A fixture whose process formats numbers with a decimal comma (de_DE.UTF-8), as an operator's
// session with that LANG would; the station's own texts must still write a point.

#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cstdio>

class CommaLocaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(locale.ok()) << "de_DE.UTF-8 is missing: the test set-up generates it";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 3.4);
        ASSERT_STREQ(probe, "3,4");
    }
    ScopedLocale locale{"de_DE.UTF-8"};
};
