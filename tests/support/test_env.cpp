#include "support/test_env.h"

#include <QDir>
#include <QStandardPaths>

using namespace morvane;

namespace morvane::testenv {

QString sharedDir() {
  const QString env = qEnvironmentVariable("MORVANE_SHARED");
  if (!env.isEmpty() && QDir(env).exists()) return QDir(env).absolutePath();
  const QDir dir(QStringLiteral(MORVANE_SOURCE_DIR "/../shared"));
  return dir.exists() ? dir.absolutePath() : QString();
}

QString corpusDir(const QString& kind) {
  const QString shared = sharedDir();
  if (shared.isEmpty()) return QString();
  const QString dir = shared + QStringLiteral("/corpus/") + kind;
  return QDir(dir).exists() ? dir : QString();
}

namespace {

QString sharedSubdir(const QString& name) {
  const QString shared = sharedDir();
  if (shared.isEmpty()) return QString();
  const QString dir = shared + QStringLiteral("/") + name;
  return QDir(dir).exists() ? dir : QString();
}

}  // namespace

QString fidelityDir() { return sharedSubdir(QStringLiteral("fidelity")); }

QString fidelity3dDir() { return sharedSubdir(QStringLiteral("fidelity-3d")); }

QString outputDir(const QString& name) {
  const QString dir = QStringLiteral(MORVANE_BINARY_DIR "/test-output/") + name;
  QDir().mkpath(dir);
  return dir;
}

bool inCi() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

QString findTool(const QString& name) { return QStandardPaths::findExecutable(name); }

}  // namespace morvane::testenv
