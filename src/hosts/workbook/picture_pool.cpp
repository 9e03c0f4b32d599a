#include "hosts/workbook/picture_pool.h"

#include <QGuiApplication>
#include <QRunnable>
#include <QTextLayout>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "office/automation_error.h"

namespace morvane::hosts::workbook {

// One picture handed to a worker; the worker fills `result` unless it is cancelled first.
struct PicturePool::Slot {
  QString key;
  std::function<BuiltPicture()> build;
  std::atomic<bool> cancelled = false;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<BuiltPicture> result;

  void run(int formats) {
    std::optional<BuiltPicture> built;
    try {
      if (!cancelled) {
        built = build();
        if (auto* picture = std::get_if<ClipboardPicture>(&*built); picture && !cancelled)
          picture->drawn = std::make_shared<const DrawnForms>(drawForms(*picture, formats));
      }
    } catch (const std::exception&) {
      // Nothing drawn ahead: the copy builds the picture itself and meets the failure there.
      built.reset();
    }
    const std::lock_guard lock(mutex);
    result = std::move(built);
    build = nullptr;  // its inputs go with the worker's part of the work
    done = true;
    finished.notify_all();
  }
  std::optional<BuiltPicture> wait() {
    std::unique_lock lock(mutex);
    finished.wait(lock, [this] { return done; });
    return result;
  }
};

namespace {

// Qt shapes text with HarfBuzz, which fills its table of languages lazily and publishes the
// entries through atomics of its own. Shaping once before any worker starts fills it here,
// so the workers only ever read it.
void shapeOnce() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  QTextLayout layout(QStringLiteral("Ag"));
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
}

}  // namespace

PicturePool::PicturePool(int workers) {
  shapeOnce();
  for (int i = 0; i < std::max(2, workers); ++i) m_workers.emplace_back([this] { work(); });
}

PicturePool::~PicturePool() {
  cancel();
  {
    const std::lock_guard lock(m_mutex);
    m_ending = true;
  }
  m_wake.notify_all();
  for (auto& worker : m_workers) worker.join();
}

void PicturePool::work() {
  for (;;) {
    std::shared_ptr<Slot> slot;
    int formats = 0;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_ending || !m_queue.empty(); });
      if (m_ending) return;
      slot = std::move(m_queue.front());
      m_queue.pop_front();
      formats = m_formats;
      ++m_busy;
    }
    slot->run(formats);
    {
      const std::lock_guard lock(m_mutex);
      --m_busy;
    }
    m_idle.notify_all();
  }
}

int PicturePool::activeWorkers() const {
  const std::lock_guard lock(m_mutex);
  return m_busy;
}

void PicturePool::announce(std::vector<Ahead> pictures, int formats) {
  cancel();
  {
    const std::lock_guard lock(m_mutex);
    m_formats = formats;
  }
  m_waiting.assign(std::make_move_iterator(pictures.begin()),
                   std::make_move_iterator(pictures.end()));
  topUp();
}

std::optional<BuiltPicture> PicturePool::take(const QString& key) {
  if (m_taken && m_taken->key == key) return m_taken->wait();
  const auto found = std::find_if(m_ahead.begin(), m_ahead.end(),
                                  [&key](const auto& slot) { return slot->key == key; });
  if (found == m_ahead.end()) {
    // Announced but not drawn yet: the run is ahead of the workers, which skip what it passed.
    const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [&key](const Ahead& ahead) { return ahead.key == key; });
    if (waiting != m_waiting.end()) {
      for (const auto& slot : m_ahead) slot->cancelled = true;
      m_ahead.clear();
      m_waiting.erase(m_waiting.begin(), waiting + 1);
      topUp();
    }
    return std::nullopt;
  }
  // Pictures announced before this one were passed over.
  for (auto it = m_ahead.begin(); it != found; ++it) (*it)->cancelled = true;
  m_taken = *found;
  m_ahead.erase(m_ahead.begin(), found + 1);
  topUp();
  return m_taken->wait();
}

void PicturePool::cancel() {
  for (const auto& slot : m_ahead) slot->cancelled = true;
  m_ahead.clear();
  m_waiting.clear();
  m_taken.reset();
  std::unique_lock lock(m_mutex);
  for (const auto& slot : m_queue) slot->cancelled = true;
  m_queue.clear();
  m_idle.wait(lock, [this] { return m_busy == 0; });
}

void PicturePool::topUp() {
  const size_t limit = size_t(kAheadPerWorker) * m_workers.size();
  while (m_ahead.size() < limit && !m_waiting.empty()) {
    Ahead next = std::move(m_waiting.front());
    m_waiting.pop_front();
    auto slot = std::make_shared<Slot>();
    slot->key = next.key;
    try {
      slot->build = next.gather();
    } catch (const office::AutomationError&) {
      continue;  // its copy raises the error
    }
    m_ahead.push_back(slot);
    {
      const std::lock_guard lock(m_mutex);
      m_queue.push_back(std::move(slot));
    }
    m_wake.notify_one();
  }
}

}  // namespace morvane::hosts::workbook
