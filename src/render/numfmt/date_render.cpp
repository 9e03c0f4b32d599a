// Date and time serials through date/time codes, in the 1900 and 1904 date systems.
#include <QDate>
#include <cmath>

#include "render/numfmt/section_render.h"

namespace render::numfmt {

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

}  // namespace

bool renderDate(const Section& sec, double serial, bool date1904, CellText& out) {
  const qint64 last = date1904 ? kLastSerial1904 : kLastSerial1900;
  if (!(serial >= 0) || serial >= double(last + 1)) return false;

  // Round to the smallest unit shown (a second, or a tenth/hundredth/thousandth of it).
  qint64 perSecond = 1;
  for (int i = 0; i < sec.subSecondDigits; ++i) perSecond *= 10;
  const qint64 perDay = 86400 * perSecond;
  const qint64 total = qint64(std::floor(serial * double(perDay) + 0.5));
  const qint64 days = total / perDay;
  const qint64 seconds = total / perSecond;  // since day 0
  const qint64 fraction = total % perSecond;
  const qint64 secondOfDay = seconds % 86400;
  const int hour = int(secondOfDay / 3600);
  const int minute = int(secondOfDay / 60 % 60);
  const int second = int(secondOfDay % 60);
  const CivilDate date = civilDate(days, date1904);

  for (const Token& t : sec.tokens) {
    if (appendCommon(t, out)) continue;
    switch (t.kind) {
      case TokenKind::Year:
        out.text += t.count <= 2 ? padded(date.year % 100, 2) : padded(date.year, 4);
        break;
      case TokenKind::Month: {
        const QString name = QLatin1String(kMonths[date.month - 1]);
        if (t.count <= 2)
          out.text += padded(date.month, t.count);
        else if (t.count == 3)
          out.text += name.left(3);
        else if (t.count == 4)
          out.text += name;
        else
          out.text += name.left(1);
        break;
      }
      case TokenKind::Day:
        if (t.count <= 2)
          out.text += padded(date.day, t.count);
        else if (t.count == 3)
          out.text += QLatin1String(kWeekdays[date.weekday]).left(3);
        else
          out.text += QLatin1String(kWeekdays[date.weekday]);
        break;
      case TokenKind::Hour: {
        int h = hour;
        if (sec.twelveHour) h = hour % 12 == 0 ? 12 : hour % 12;
        out.text += padded(h, std::min(t.count, 2));
        break;
      }
      case TokenKind::Minute:
        out.text += padded(minute, std::min(t.count, 2));
        break;
      case TokenKind::Second:
        out.text += padded(second, std::min(t.count, 2));
        break;
      case TokenKind::ElapsedHour:
        out.text += padded(seconds / 3600, t.count);
        break;
      case TokenKind::ElapsedMinute:
        out.text += padded(seconds / 60, t.count);
        break;
      case TokenKind::ElapsedSecond:
        out.text += padded(seconds, t.count);
        break;
      case TokenKind::SubSecond:
        out.text += padded(fraction, sec.subSecondDigits).left(t.count);
        break;
      case TokenKind::AmPm:
        if (t.text.size() == 5)
          out.text += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        else
          out.text += hour < 12 ? t.text[0] : t.text[2];
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace render::numfmt
