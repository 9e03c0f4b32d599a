// PicturePool: the workbook host's pictures drawn ahead. A run announces the objects it will
// copy, in order; the pool builds and draws a few of them per worker thread ahead of the run,
// and a copy takes its object's picture from the pool instead of drawing it. Everything a
// worker touches is immutable and its own (the inputs gathered on the host's thread, its
// painter and device), so the workbook may change meanwhile; the host drops the pool's
// pictures when it does.
#pragma once

#include <QString>
#include <QThreadPool>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "hosts/workbook/clipboard.h"

namespace morvane::hosts::workbook {

class PicturePool {
 public:
  // Gathers a picture's inputs on the host's thread and returns what builds it on a worker.
  // May throw office::AutomationError: the object is then not drawn ahead, and its copy
  // raises the error as ever.
  using Gather = std::function<std::function<BuiltPicture()>()>;
  struct Ahead {
    QString key;
    Gather gather;
  };

  // `workers` threads (at least two), each drawing at most kAheadPerWorker pictures ahead.
  explicit PicturePool(int workers);
  ~PicturePool();
  PicturePool(const PicturePool&) = delete;
  PicturePool& operator=(const PicturePool&) = delete;

  static constexpr int kAheadPerWorker = 3;

  // Replaces what is announced (dropping what was drawn) with `pictures`, drawn in `formats`
  // (ClipboardFormat, kEncodePng). An empty list ends the look-ahead.
  void announce(std::vector<Ahead> pictures, int formats);
  // The picture announced under `key`, waiting for its worker; nullopt when it was not
  // announced, or was passed over (the run went beyond it). Asked again for the same key, the
  // pool hands out the same picture until another key is taken. Tops the look-ahead up.
  std::optional<BuiltPicture> take(const QString& key);
  // Drops every picture and announcement and returns once no worker runs.
  void cancel();
  // Workers drawing at this instant (for the tests of cancel()).
  int activeWorkers() const;

 private:
  struct Slot;
  void topUp();
  void work();

  // Standard threads and locks rather than QThreadPool: every hand-over between the host's
  // thread and a worker then goes through primitives ThreadSanitizer sees.
  std::vector<std::thread> m_workers;
  mutable std::mutex m_mutex;
  std::condition_variable m_wake;             // a picture queued, or the pool ending
  std::condition_variable m_idle;             // a worker finished one
  std::deque<std::shared_ptr<Slot>> m_queue;  // handed over, not started
  int m_busy = 0;
  bool m_ending = false;

  int m_formats = 0;
  std::deque<Ahead> m_waiting;                // announced, not yet handed to a worker
  std::deque<std::shared_ptr<Slot>> m_ahead;  // handed to workers, in the run's order
  std::shared_ptr<Slot> m_taken;              // the last one taken
};

}  // namespace morvane::hosts::workbook
