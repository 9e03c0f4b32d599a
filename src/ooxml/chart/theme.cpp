#include "ooxml/chart/theme.h"

#include "ooxml/chart/detail/format_reader.h"
#include "ooxml/detail/xml.h"
#include "ooxml/package.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace morvane::ooxml::chart {

namespace {

const char* const kSlotNames[12] = {"dk1",     "lt1",     "dk2",     "lt2",
                                    "accent1", "accent2", "accent3", "accent4",
                                    "accent5", "accent6", "hlink",   "folHlink"};

int slotOf(const QString& name) {
  static const QHash<QString, int> aliases = {{"tx1", 0}, {"bg1", 1}, {"tx2", 2}, {"bg2", 3}};
  if (auto it = aliases.find(name); it != aliases.end()) return *it;
  for (int i = 0; i < 12; ++i)
    if (name == QLatin1String(kSlotNames[i])) return i;
  return -1;
}

double toLinear(double c) {
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double fromLinear(double c) {
  c = std::clamp(c, 0.0, 1.0);
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

// Mixes each channel with `target` (0 black or 1 white) in linear light.
QColor mixLinear(const QColor& c, double keep, double target) {
  auto ch = [&](double v) { return fromLinear(toLinear(v) * keep + target * (1 - keep)); };
  QColor out = QColor::fromRgbF(float(ch(c.redF())), float(ch(c.greenF())),
                                float(ch(c.blueF())));
  out.setAlphaF(c.alphaF());
  return out.toRgb();
}

QColor withHsl(const QColor& c, double h, double s, double l) {
  QColor out = QColor::fromHslF(float(std::fmod(h + 1.0, 1.0)), float(std::clamp(s, 0.0, 1.0)),
                                float(std::clamp(l, 0.0, 1.0)));
  out.setAlphaF(c.alphaF());
  return out.toRgb();
}

}  // namespace

QColor applyColorModifier(const QColor& c, const QString& name, int value) {
  const double v = value / 100000.0;
  float hf, sf, lf, af;
  c.getHslF(&hf, &sf, &lf, &af);
  double h = hf < 0 ? 0 : hf, s = sf, l = lf;
  if (name == "lumMod") return withHsl(c, h, s, l * v);
  if (name == "lumOff") return withHsl(c, h, s, l + v);
  if (name == "lum") return withHsl(c, h, s, v);
  if (name == "satMod") return withHsl(c, h, s * v, l);
  if (name == "satOff") return withHsl(c, h, s + v, l);
  if (name == "sat") return withHsl(c, h, v, l);
  if (name == "hueMod") return withHsl(c, h * v, s, l);
  if (name == "hueOff") return withHsl(c, h + value / 60000.0 / 360.0, s, l);
  if (name == "hue") return withHsl(c, value / 60000.0 / 360.0, s, l);
  if (name == "tint") return mixLinear(c, std::clamp(v, 0.0, 1.0), 1.0);
  if (name == "shade") return mixLinear(c, std::clamp(v, 0.0, 1.0), 0.0);
  QColor out = c;
  if (name == "alpha") out.setAlphaF(float(std::clamp(v, 0.0, 1.0)));
  else if (name == "alphaMod") out.setAlphaF(float(std::clamp(c.alphaF() * v, 0.0, 1.0)));
  else if (name == "alphaOff") out.setAlphaF(float(std::clamp(c.alphaF() + v, 0.0, 1.0)));
  else if (name == "inv") out = QColor(255 - c.red(), 255 - c.green(), 255 - c.blue(), c.alpha());
  else if (name == "gray") {
    const int g = qGray(c.rgb());
    out = QColor(g, g, g, c.alpha());
  } else if (name == "comp") {
    return withHsl(c, h + 0.5, s, l);
  }
  return out;
}

QColor Theme::schemeColor(const QString& name) const {
  const int slot = slotOf(name);
  return slot < 0 ? QColor() : colors[size_t(slot)];
}

QColor Theme::resolve(const DrawingColor& c, const QColor& placeholder) const {
  QColor base;
  switch (c.kind) {
    case DrawingColor::Kind::None:
      return QColor();
    case DrawingColor::Kind::Rgb:
    case DrawingColor::Kind::System:
    case DrawingColor::Kind::Preset:
      base = c.rgb;
      break;
    case DrawingColor::Kind::Scheme:
      base = c.scheme == "phClr" ? placeholder : schemeColor(c.scheme);
      break;
  }
  if (!base.isValid()) return base;
  for (const auto& [name, value] : c.modifiers) base = applyColorModifier(base, name, value);
  return QColor::fromRgba(base.rgba());  // 8 bits a channel, as the file format has
}

QString Theme::resolveFont(const QString& typeface) const {
  if (typeface.isEmpty() || typeface.startsWith("+mn-")) return minorLatinFont;
  if (typeface.startsWith("+mj-")) return majorLatinFont;
  return typeface;
}

Theme defaultTheme() {
  Theme t;
  const char* const hex[12] = {"#000000", "#FFFFFF", "#1F497D", "#EEECE1",
                               "#4F81BD", "#C0504D", "#9BBB59", "#8064A2",
                               "#4BACC6", "#F79646", "#0000FF", "#800080"};
  for (int i = 0; i < 12; ++i) t.colors[size_t(i)] = QColor(QString::fromLatin1(hex[i]));
  return t;
}

Result<Theme> readThemeXml(const QByteArray& xml, const QString& partName) {
  auto parsed = parseXml(xml, partName);
  if (!parsed) return parsed.error();
  const pugi::xml_node root = parsed.value()->doc.document_element();
  if (std::string_view(root.name()) != "a:theme")
    return Error{Error::Code::BadXml, QString("%1: the root element is not a theme").arg(partName)};
  Theme theme = defaultTheme();
  const pugi::xml_node elements = root.child("a:themeElements");
  const pugi::xml_node scheme = elements.child("a:clrScheme");
  for (int i = 0; i < 12; ++i) {
    const pugi::xml_node slot = scheme.child((std::string("a:") + kSlotNames[i]).c_str());
    const DrawingColor color = detail::readColorChoice(slot);
    if (color.kind == DrawingColor::Kind::Rgb || color.kind == DrawingColor::Kind::System ||
        color.kind == DrawingColor::Kind::Preset) {
      const QColor resolved = theme.resolve(color);
      if (resolved.isValid()) theme.colors[size_t(i)] = resolved;
    }
  }
  const pugi::xml_node fonts = elements.child("a:fontScheme");
  const QString major = qstr(fonts.child("a:majorFont").child("a:latin").attribute("typeface").value());
  const QString minor = qstr(fonts.child("a:minorFont").child("a:latin").attribute("typeface").value());
  if (!major.isEmpty()) theme.majorLatinFont = major;
  if (!minor.isEmpty()) theme.minorLatinFont = minor;
  return theme;
}

Result<Theme> readThemePart(const Package& package, const QString& themePartName) {
  auto bytes = package.read(themePartName);
  if (!bytes) return bytes.error();
  return readThemeXml(bytes.value(), themePartName);
}

Theme readTheme(const Package& package, const QString& themePartName) {
  if (themePartName.isEmpty() || !package.hasPart(themePartName)) return defaultTheme();
  auto theme = readThemePart(package, themePartName);
  return theme ? theme.value() : defaultTheme();
}

}  // namespace morvane::ooxml::chart
