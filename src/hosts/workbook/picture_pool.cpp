#include "hosts/workbook/picture_pool.h"

#include <QRunnable>
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

PicturePool::PicturePool(int workers) { m_threads.setMaxThreadCount(std::max(2, workers)); }

PicturePool::~PicturePool() { cancel(); }

void PicturePool::announce(std::vector<Ahead> pictures, int formats) {
  cancel();
  m_formats = formats;
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
  m_threads.clear();
  m_threads.waitForDone();
}

void PicturePool::topUp() {
  const size_t limit = size_t(kAheadPerWorker) * size_t(m_threads.maxThreadCount());
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
    m_threads.start(QRunnable::create([slot, formats = m_formats] { slot->run(formats); }));
  }
}

}  // namespace morvane::hosts::workbook
