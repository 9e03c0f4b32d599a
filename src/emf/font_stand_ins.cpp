#include "emf/font_stand_ins.h"

#include <QHash>

namespace morvane::emf {
namespace {

// LOGFONT pitch and family bits.
constexpr quint8 kFixedPitch = 0x01;
constexpr quint8 kVariablePitch = 0x02;
constexpr quint8 kRoman = 0x10;
constexpr quint8 kSwiss = 0x20;
constexpr quint8 kModern = 0x30;

// LOGFONT character sets.
constexpr quint8 kAnsi = 0;
constexpr quint8 kSymbol = 2;
constexpr quint8 kShiftJis = 128;
constexpr quint8 kHangul = 129;
constexpr quint8 kGb2312 = 134;
constexpr quint8 kGreek = 161;
constexpr quint8 kHebrew = 177;
constexpr quint8 kArabic = 178;
constexpr quint8 kRussian = 204;
constexpr quint8 kThai = 222;

struct OfficeFont {
  QString standIn;
  quint8 pitchAndFamily;
};

const QHash<QString, OfficeFont>& officeFonts() {
  static const QHash<QString, OfficeFont> table = {
      {"calibri", {"Carlito", kVariablePitch | kSwiss}},
      {"calibri light", {"Carlito", kVariablePitch | kSwiss}},
      {"cambria", {"Caladea", kVariablePitch | kRoman}},
      {"arial", {"Liberation Sans", kVariablePitch | kSwiss}},
      {"helvetica", {"Liberation Sans", kVariablePitch | kSwiss}},
      {"arial narrow", {"Liberation Sans Narrow", kVariablePitch | kSwiss}},
      {"times new roman", {"Liberation Serif", kVariablePitch | kRoman}},
      {"times", {"Liberation Serif", kVariablePitch | kRoman}},
      {"courier new", {"Liberation Mono", kFixedPitch | kModern}},
      {"courier", {"Liberation Mono", kFixedPitch | kModern}},
  };
  return table;
}

const OfficeFont* find(const QString& family) {
  const auto& table = officeFonts();
  const auto it = table.find(family.trimmed().toLower());
  return it == table.end() ? nullptr : &*it;
}

bool isSymbolFont(const QString& family) {
  static const QStringList symbols = {"symbol",      "wingdings", "wingdings 2",
                                      "wingdings 3", "webdings",  "marlett"};
  return symbols.contains(family.trimmed().toLower());
}

}  // namespace

QString standInFamily(const QString& requested) {
  const OfficeFont* font = find(requested);
  return font ? font->standIn : requested;
}

QFont officeFont(const QString& requested) {
  QFont font;
  const QString standIn = standInFamily(requested);
  font.setFamilies(standIn == requested ? QStringList{requested} : QStringList{requested, standIn});
  return font;
}

quint8 pitchAndFamily(const QString& family, bool fixedPitch) {
  if (const OfficeFont* font = find(family)) return font->pitchAndFamily;
  return fixedPitch ? kFixedPitch | kModern : kVariablePitch;
}

quint8 charSetFor(const QString& family, const QString& text) {
  if (isSymbolFont(family)) return kSymbol;
  bool han = false;
  for (const uint c : text.toUcs4()) {
    switch (QChar::script(char32_t(c))) {
      case QChar::Script_Greek:
        return kGreek;
      case QChar::Script_Cyrillic:
        return kRussian;
      case QChar::Script_Hebrew:
        return kHebrew;
      case QChar::Script_Arabic:
        return kArabic;
      case QChar::Script_Thai:
        return kThai;
      case QChar::Script_Hiragana:
      case QChar::Script_Katakana:
        return kShiftJis;
      case QChar::Script_Hangul:
        return kHangul;
      case QChar::Script_Han:
        han = true;  // Chinese unless kana follow
        break;
      default:
        break;
    }
  }
  return han ? kGb2312 : kAnsi;
}

}  // namespace morvane::emf
