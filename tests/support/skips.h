#pragma once
// Tests that need what a machine may refuse (root, a capability, a sound server, a file system
// feature) skip when it is refused, and say so where `make test` looks for it.

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Leaves `reason` (what is skipped and why) in the folder VONTALIX_SKIP_MARKS names, once per
// distinct reason, so that `make test` names it in its last line.
void markSkipped(const std::string& reason);

}  // namespace testsupport

// Skips the running test (from its body or SetUp) for a reason the machine gives.
#define VONTALIX_SKIP_BECAUSE(reason)      \
    do {                                   \
        const std::string why_ = (reason); \
        testsupport::markSkipped(why_);    \
        GTEST_SKIP() << why_;              \
    } while (0)
