#include "support/call_log.h"

using namespace morvane;

namespace morvane::fake {

void CallLog::call(const QString& call) {
  m_calls.append(call);
  for (auto it = m_failures.begin(); it != m_failures.end(); ++it) {
    if (!call.startsWith(it->prefix)) continue;
    if (it->remaining < 0) throw it->error;
    if (it->remaining == 0) {
      const office::AutomationError error = it->error;
      m_failures.erase(it);
      throw error;
    }
    --it->remaining;
  }
}

void CallLog::failOn(const QString& prefix, int occurrence) {
  failOn(prefix, occurrence, office::AutomationError::methodFailed(prefix, QStringLiteral("double")));
}

void CallLog::failOn(const QString& prefix, int occurrence, const office::AutomationError& error) {
  m_failures.push_back({prefix, occurrence <= 0 ? -1 : occurrence - 1, error});
}

QStringList CallLog::callsStartingWith(const QString& prefix) const {
  QStringList out;
  for (const QString& c : m_calls)
    if (c.startsWith(prefix)) out.append(c);
  return out;
}

int CallLog::indexOf(const QString& prefix, int from) const {
  for (int i = from; i < m_calls.size(); ++i)
    if (m_calls[i].startsWith(prefix)) return i;
  return -1;
}

}  // namespace morvane::fake
