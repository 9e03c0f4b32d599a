// Where tests find their inputs, and the rule for optional ones: a test that needs a shared
// file or an external tool skips when it is absent, except under CI=true, where it fails so
// that a missing install step cannot hide.
#pragma once

#include <QString>

namespace morvane::testenv {

// ../shared next to the checkout, or $MORVANE_SHARED; empty when absent.
QString sharedDir();
// sharedDir()/corpus/xlsx etc.; empty when absent.
QString corpusDir(const QString& kind);
QString fidelityDir();
// sharedDir()/fidelity-3d: the 3-D, surface, bubble and doughnut pictures; empty when absent.
QString fidelity3dDir();
// A fresh folder under the build tree for a test's outputs (kept for people to look at).
QString outputDir(const QString& name);
// True under CI=true.
bool inCi();
// Full path of an executable on PATH, or empty.
QString findTool(const QString& name);

}  // namespace morvane::testenv

// Skips the current test when `cond` is false, or fails it under CI=true.
#define MORVANE_REQUIRE(cond, what)                                              \
  do {                                                                           \
    if (!(cond)) {                                                               \
      if (testenv::inCi()) FAIL() << "required under CI but missing: " << (what); \
      GTEST_SKIP() << "missing: " << (what);                                     \
    }                                                                            \
  } while (0)
