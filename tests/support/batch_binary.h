// Running the real `morvane` binary (MORVANE_BINARY, defined by the test target) and copying
// the shipped sample workbook into a test's own folder. MORVANE_BINARY_UNDER_TEST, when set,
// names another build of the binary to run instead: the sanitizer scripts run these suites
// against their instrumented program.
#pragma once

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace morvane::batchtest {

struct Outcome {
  int exitCode = -1;
  QString out;
  QString err;
};

inline QString binaryUnderTest() {
  return qEnvironmentVariable("MORVANE_BINARY_UNDER_TEST", QStringLiteral(MORVANE_BINARY));
}

// Runs the binary with `args` (and `env` when given), waiting up to three minutes.
inline Outcome runMorvane(const QStringList& args, const QProcessEnvironment& env =
                                                       QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(binaryUnderTest(), args);
  process.waitForFinished(180000);
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

// Copies `from` to `to` and makes the copy writable (the source tree may be read-only).
inline QString copyWritable(const QString& from, const QString& to) {
  QFile::copy(from, to);
  QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
  return to;
}

// examples/sample-sales.xlsx, copied into `dir`.
inline QString sample(const QTemporaryDir& dir) {
  return copyWritable(QStringLiteral(MORVANE_SOURCE_DIR "/examples/sample-sales.xlsx"),
                      dir.filePath(QStringLiteral("sample-sales.xlsx")));
}

}  // namespace morvane::batchtest
