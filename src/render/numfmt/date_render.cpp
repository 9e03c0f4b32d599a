// Date and time serials through date/time codes, in the 1900 and 1904 date systems.
#include <QDate>
#include <cmath>

#include "render/numfmt/section_render.h"

namespace morvane::render::numfmt {

namespace {

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// The last serial that is a date: 31 Dec 9999.
constexpr qint64 kLastSerial1900 = 2958465;
constexpr qint64 kLastSerial1904 = kLastSerial1900 - 1462;

struct CivilDate {
  int year = 1900;
  int month = 1;
  int day = 0;
  int weekday = 0;  // 0 = Sunday
};

// The calendar date of whole day `days`. The 1900 system counts 1 Jan 1900 as day 1, has a
// day 0 (0 Jan 1900) and the 29 Feb 1900 that never was (day 60), and numbers weekdays from
// that fiction (day 1 is a Sunday); the 1904 system counts 1 Jan 1904 as day 0.
CivilDate civilDate(qint64 days, bool date1904) {
  CivilDate out;
  if (date1904) {
    const QDate d = QDate(1904, 1, 1).addDays(days);
    out = {d.year(), d.month(), d.day(), int((days + 5) % 7)};
    return out;
  }
  out.weekday = int((days + 6) % 7);
  if (days == 0) return out;  // 0 Jan 1900
  if (days == 60) {
    out.month = 2;
    out.day = 29;
    return out;
  }
  const QDate d = days < 60 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days);
  out.year = d.year();
  out.month = d.month();
  out.day = d.day();
  return out;
}

QString padded(qint64 n, int width) { return QStringLiteral("%1").arg(n, width, 10, QChar(u'0')); }

// A serial split into the fields the codes show, rounded to the smallest unit shown.
struct Moment {
  CivilDate date;
  int hour = 0, minute = 0, second = 0;
  qint64 seconds = 0;   // since day 0, for elapsed time
  qint64 fraction = 0;  // of the second, in units of 10^-subSecondDigits
};

Moment momentOf(double serial, const Section& sec, bool date1904) {
  qint64 perSecond = 1;
  for (int i = 0; i < sec.subSecondDigits; ++i) perSecond *= 10;
  const qint64 perDay = 86400 * perSecond;
  const qint64 total = qint64(std::floor(serial * double(perDay) + 0.5));
  Moment m;
  m.date = civilDate(total / perDay, date1904);
  m.seconds = total / perSecond;
  m.fraction = total % perSecond;
  const qint64 secondOfDay = m.seconds % 86400;
  m.hour = int(secondOfDay / 3600);
  m.minute = int(secondOfDay / 60 % 60);
  m.second = int(secondOfDay % 60);
  return m;
}

QString monthText(int month, int count) {
  const QString name = QLatin1String(kMonths[month - 1]);
  if (count <= 2) return padded(month, count);
  if (count == 3) return name.left(3);
  return count == 4 ? name : name.left(1);
}

QString dayText(const CivilDate& date, int count) {
  if (count <= 2) return padded(date.day, count);
  const QString name = QLatin1String(kWeekdays[date.weekday]);
  return count == 3 ? name.left(3) : name;
}

// The text of one date/time token.
QString fieldText(const Token& t, const Moment& m, const Section& sec) {
  switch (t.kind) {
    case TokenKind::Year:
      return t.count <= 2 ? padded(m.date.year % 100, 2) : padded(m.date.year, 4);
    case TokenKind::Month:
      return monthText(m.date.month, t.count);
    case TokenKind::Day:
      return dayText(m.date, t.count);
    case TokenKind::Hour: {
      const int h = sec.twelveHour && m.hour % 12 == 0 ? 12 : sec.twelveHour ? m.hour % 12 : m.hour;
      return padded(h, std::min(t.count, 2));
    }
    case TokenKind::Minute:
      return padded(m.minute, std::min(t.count, 2));
    case TokenKind::Second:
      return padded(m.second, std::min(t.count, 2));
    case TokenKind::ElapsedHour:
      return padded(m.seconds / 3600, t.count);
    case TokenKind::ElapsedMinute:
      return padded(m.seconds / 60, t.count);
    case TokenKind::ElapsedSecond:
      return padded(m.seconds, t.count);
    case TokenKind::SubSecond:
      return padded(m.fraction, sec.subSecondDigits).left(t.count);
    case TokenKind::AmPm:
      if (t.text.size() == 5) return m.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
      return QString(m.hour < 12 ? t.text[0] : t.text[2]);
    default:
      return QString();
  }
}

}  // namespace

bool renderDate(const Section& sec, double serial, bool date1904, CellText& out) {
  const qint64 last = date1904 ? kLastSerial1904 : kLastSerial1900;
  if (!(serial >= 0) || serial >= double(last + 1)) return false;
  const Moment moment = momentOf(serial, sec, date1904);
  for (const Token& t : sec.tokens)
    if (!appendCommon(t, out)) out.text += fieldText(t, moment, sec);
  return true;
}

}  // namespace morvane::render::numfmt
