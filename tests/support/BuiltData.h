// Test data that the build makes: the Windows sub-build's libraries and
// stand-ins, the cabinets of tests/data. Where the build makes it, a test
// that finds it missing fails: a skip would let the test pass unseen on a
// machine where the data was not made. Only a native build without the
// Windows side (-DWITH_WINDOWS=OFF) lacks the Windows data, and skips.
#pragma once

#include <gtest/gtest.h>

#ifndef TEST_DATA_BUILT
#define TEST_DATA_BUILT 1
#endif

// In a test's body or SetUp: ends the test unless `present`.
#define REQUIRE_BUILT_DATA(present, what)                                                  \
    do {                                                                                   \
        if (!(present)) {                                                                  \
            if (TEST_DATA_BUILT) FAIL() << what << " should have been made by the build";  \
            GTEST_SKIP() << what << " come from the Windows sub-build, which is not built"; \
        }                                                                                  \
    } while (0)
