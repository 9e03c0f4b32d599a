#include "render/numfmt/number_format.h"

#include <algorithm>
#include <cmath>

#include "render/numfmt/format_code.h"
#include "render/numfmt/section_render.h"

namespace morvane::render::numfmt {

namespace {

// The section a number goes through, and whether its minus sign is shown.
struct Choice {
  int index = 0;
  bool showSign = true;
};

// True when some value >= 0 satisfies `in`, a predicate built from comparisons against the
// constants `bounds`: it is constant between them, so probing them, the points between them
// and one point past them is enough.
template <typename Pred>
bool admitsNonNegative(Pred in, std::vector<double> bounds) {
  bounds.push_back(0);
  bounds.erase(std::remove_if(bounds.begin(), bounds.end(), [](double b) { return b < 0; }),
               bounds.end());
  std::sort(bounds.begin(), bounds.end());
  for (size_t i = 0; i < bounds.size(); ++i) {
    if (in(bounds[i])) return true;
    const double next = i + 1 < bounds.size() ? bounds[i + 1] : bounds[i] * 2 + 1;
    if (in((bounds[i] + next) / 2)) return true;
  }
  return false;
}

// Which section formats `v`. Without conditions: one section takes every number; with two,
// the second takes negatives; with three, the third takes zero. A [condition] replaces the
// first or second section's default test; a second section without one then takes whatever
// the first refuses, and a third takes what both refuse. A minus sign is shown unless the
// chosen section can only ever receive negative numbers (the negative section, or a
// condition such as [<-10]). nullopt when no section accepts `v`.
std::optional<Choice> chooseSection(const ParsedFormat& f, double v) {
  using Op = Condition::Op;
  const int count = f.numberSections;
  if (count == 1) return Choice{0, true};
  const auto& first = f.sections[0].condition;
  const auto& second = f.sections[1].condition;
  const Condition c1 = first.value_or(Condition{count == 2 ? Op::Ge : Op::Gt, 0});
  const Condition c2 = second ? *second : first ? Condition{Op::Always, 0} : Condition{Op::Lt, 0};
  const int index = c1.matches(v) ? 0 : c2.matches(v) ? 1 : count >= 3 ? 2 : -1;
  if (index < 0) return std::nullopt;
  auto in = [&](double x) {
    if (index == 0) return c1.matches(x);
    if (index == 1) return !c1.matches(x) && c2.matches(x);
    return !c1.matches(x) && !c2.matches(x);
  };
  return Choice{index, admitsNonNegative(in, {c1.value, c2.value})};
}

// What the program shows for a number it cannot show: '#' across the cell.
FormattedValue hashes() {
  FormattedValue out;
  out.text = QStringLiteral("########");
  out.fillChar = QChar(u'#');
  out.fillPosition = 0;
  return out;
}

FormattedValue finish(CellText cell, const std::optional<QColor>& color, bool rightAligned) {
  FormattedValue out;
  out.text = std::move(cell.text);
  out.color = color;
  if (cell.fillPosition >= 0) {
    out.fillChar = cell.fillChar;
    out.fillPosition = cell.fillPosition;
  }
  out.rightAligned = rightAligned;
  return out;
}

}  // namespace

NumberFormat::NumberFormat() = default;

NumberFormat::NumberFormat(std::shared_ptr<const ParsedFormat> parsed)
    : m_parsed(std::move(parsed)) {}

NumberFormat NumberFormat::parse(const QString& code) {
  auto parsed = numfmt::parseFormatCode(code);
  if (!parsed) return NumberFormat();
  return NumberFormat(std::make_shared<const ParsedFormat>(std::move(*parsed)));
}

FormattedValue NumberFormat::format(double value, bool date1904) const {
  FormattedValue out;
  if (!std::isfinite(value)) {
    out.text = QStringLiteral("#NUM!");
    return out;
  }
  if (!m_parsed || m_parsed->numberSections == 0) {
    out.text = formatGeneral(value);
    return out;
  }
  const auto choice = chooseSection(*m_parsed, value);
  if (!choice) return hashes();
  const Section& section = m_parsed->sections[choice->index];
  CellText cell;
  if (section.kind == SectionKind::Date) {
    if (!renderDate(section, choice->showSign ? value : std::fabs(value), date1904, cell))
      return hashes();
  } else {
    numfmt::renderNumber(section, std::fabs(value), cell);
    if (value < 0 && choice->showSign) {  // before everything, literal text included
      cell.text.prepend(u'-');
      if (cell.fillPosition >= 0) ++cell.fillPosition;
    }
  }
  return finish(std::move(cell), section.color, true);
}

FormattedValue NumberFormat::formatText(const QString& text) const {
  if (!m_parsed || m_parsed->textSection < 0) {
    FormattedValue out;
    out.text = text;
    out.rightAligned = false;
    return out;
  }
  const Section& section = m_parsed->sections[m_parsed->textSection];
  CellText cell;
  numfmt::renderText(section, text, cell);
  return finish(std::move(cell), section.color, false);
}

bool NumberFormat::isDate() const {
  return m_parsed && m_parsed->numberSections > 0 &&
         m_parsed->sections[0].kind == SectionKind::Date;
}

bool NumberFormat::isGeneral() const { return !m_parsed; }

bool NumberFormat::isText() const { return m_parsed && m_parsed->numberSections == 0; }

QString NumberFormat::code() const { return m_parsed ? m_parsed->code : QStringLiteral("General"); }

QString builtinNumberFormat(int numFmtId) {
  static const char* const kCodes[] = {"General",
                                       "0",
                                       "0.00",
                                       "#,##0",
                                       "#,##0.00",
                                       "\"$\"#,##0_);\\(\"$\"#,##0\\)",
                                       "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)",
                                       "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)",
                                       "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)",
                                       "0%",
                                       "0.00%",
                                       "0.00E+00",
                                       "# ?/?",
                                       "# ?\?/??",
                                       "m/d/yyyy",
                                       "d-mmm-yy",
                                       "d-mmm",
                                       "mmm-yy",
                                       "h:mm AM/PM",
                                       "h:mm:ss AM/PM",
                                       "h:mm",
                                       "h:mm:ss",
                                       "m/d/yyyy h:mm"};
  static const char* const kCodes37[] = {
      "#,##0_);(#,##0)",
      "#,##0_);[Red](#,##0)",
      "#,##0.00_);(#,##0.00)",
      "#,##0.00_);[Red](#,##0.00)",
      "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)",
      "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)",
      "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)",
      "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)",
      "mm:ss",
      "[h]:mm:ss",
      "mm:ss.0",
      "##0.0E+0",
      "@"};
  if (numFmtId >= 0 && numFmtId <= 22) return QString::fromUtf8(kCodes[numFmtId]);
  if (numFmtId >= 37 && numFmtId <= 49) return QString::fromUtf8(kCodes37[numFmtId - 37]);
  return QString();
}

std::optional<QColor> defaultPaletteColor(int n) {
  static const QRgb kPalette[56] = {
      0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
      0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
      0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
      0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
      0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
      0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
      0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
  if (n < 1 || n > 56) return std::nullopt;
  return QColor::fromRgb(kPalette[n - 1]);
}

}  // namespace morvane::render::numfmt
