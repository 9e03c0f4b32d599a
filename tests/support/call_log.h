// CallLog: records every member call made on the office double, in order, and raises an
// AutomationError from the call a test chose, so failure paths run for real.
#pragma once

#include "office/automation_error.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace morvane::fake {

class CallLog {
 public:
  // Records `call` ("Object.Member" with the object's identity, e.g.
  // "ChartObject(Chart 1).Activate") and throws when a failure was armed for it.
  void call(const QString& call);

  // Arms a failure: the `occurrence`-th future call that starts with `prefix` throws
  // `error` (default: the method-failed error). `occurrence` 0 fails every match.
  void failOn(const QString& prefix, int occurrence = 1);
  void failOn(const QString& prefix, int occurrence, const office::AutomationError& error);
  void clearFailures() { m_failures.clear(); }

  const QStringList& calls() const { return m_calls; }
  void clear() { m_calls.clear(); }
  // Calls that start with `prefix`, in order.
  QStringList callsStartingWith(const QString& prefix) const;
  // Index of the first call at or after `from` that starts with `prefix`; -1 when none.
  int indexOf(const QString& prefix, int from = 0) const;
  int count(const QString& prefix) const { return int(callsStartingWith(prefix).size()); }

 private:
  struct Failure {
    QString prefix;
    int remaining;  // calls to let through before failing; -1: fail every match
    office::AutomationError error;
  };
  QStringList m_calls;
  std::vector<Failure> m_failures;
};

}  // namespace morvane::fake
