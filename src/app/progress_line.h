// ProgressLine: the one updating line a batch run shows on a terminal's stderr while it goes
// through its objects ("3/12  Chart 2  1.4 s"). Silent when stderr is not a terminal or the
// user asked for quiet, so logs and pipes never receive carriage-return noise.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

namespace morvane::app {

class ProgressLine {
 public:
  // Shows nothing unless `enabled`; see onTerminal().
  ProgressLine(std::FILE* out, bool enabled);
  ~ProgressLine() { clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // True when `out` is a terminal and `quiet` was not asked for.
  static bool onTerminal(std::FILE* out, bool quiet);

  // Replaces the line with object `done` of `total`, its name and the time since the first.
  void show(int done, int total, const QString& name);
  // Removes the line, so that what is printed next starts at the margin.
  void clear();

  // The line's text, cut to `columns` characters so it never wraps (a wrapped line cannot be
  // rewritten in place).
  static QString text(int done, int total, const QString& name, double seconds, int columns);

 private:
  std::FILE* m_out;
  bool m_enabled;
  bool m_shown = false;
  QElapsedTimer m_clock;
};

}  // namespace morvane::app
