#include "app/progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace morvane::app {

namespace {

constexpr int kDefaultColumns = 80;
constexpr char kClearLine[] = "\r\x1b[K";

int terminalColumns(std::FILE* out) {
  winsize size{};
  if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return kDefaultColumns;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool enabled) : m_out(out), m_enabled(enabled) {}

bool ProgressLine::onTerminal(std::FILE* out, bool quiet) {
  return !quiet && ::isatty(::fileno(out)) == 1;
}

QString ProgressLine::text(int done, int total, const QString& name, double seconds, int columns) {
  const QString count = QStringLiteral("%1/%2  ").arg(done).arg(total);
  const QString time = QStringLiteral("  %1 s").arg(seconds, 0, 'f', 1);
  // The last column stays free: writing into it makes some terminals wrap at once.
  const int room = columns - 1 - int(count.size() + time.size());
  QString shown = name.simplified();
  if (room <= 1)
    shown.clear();
  else if (shown.size() > room)
    shown = shown.left(room - 1) + QChar(0x2026);
  return (count + shown + time).left(qMax(0, columns - 1));
}

void ProgressLine::show(int done, int total, const QString& name) {
  if (!m_enabled) return;
  if (!m_clock.isValid()) m_clock.start();
  const QString line =
      text(done, total, name, double(m_clock.elapsed()) / 1000.0, terminalColumns(m_out));
  std::fprintf(m_out, "%s%s", kClearLine, line.toLocal8Bit().constData());
  std::fflush(m_out);
  m_shown = true;
}

void ProgressLine::clear() {
  if (!m_shown) return;
  std::fprintf(m_out, "%s", kClearLine);
  std::fflush(m_out);
  m_shown = false;
}

}  // namespace morvane::app
