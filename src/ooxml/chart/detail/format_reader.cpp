#include "ooxml/chart/detail/format_reader.h"

#include "ooxml/detail/xml.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace morvane::ooxml::chart::detail {

namespace {

bool is(const pugi::xml_node& node, const char* name) {
  return std::string_view(node.name()) == name;
}

QColor presetColor(QString name) {
  // DrawingML preset names are the SVG names with abbreviated prefixes.
  if (name.startsWith("dk")) name = "dark" + name.mid(2);
  else if (name.startsWith("lt")) name = "light" + name.mid(2);
  else if (name.startsWith("med")) name = "medium" + name.mid(3);
  QColor c = QColor::fromString(name.toLower());
  return c.isValid() ? c : QColor(Qt::black);
}

QColor systemColor(const pugi::xml_node& node) {
  const QString last = qstr(node.attribute("lastClr").value());
  if (last.size() == 6) {
    QColor c = QColor::fromString("#" + last);
    if (c.isValid()) return c;
  }
  const QString val = qstr(node.attribute("val").value());
  if (val == "window" || val == "highlightText" || val == "btnHighlight") return Qt::white;
  if (val == "btnFace" || val == "menu" || val == "3dLight") return QColor(0xF0, 0xF0, 0xF0);
  if (val == "grayText" || val == "btnShadow") return QColor(0x80, 0x80, 0x80);
  return Qt::black;
}

double percentAttr(const pugi::xml_node& node, const char* name) {
  return std::clamp(node.attribute(name).as_double() / 100000.0, 0.0, 1.0);
}

}  // namespace

std::optional<double> parseNumber(const char* text) {
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  while (end && (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')) ++end;
  if (!end || *end != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> childDouble(const pugi::xml_node& parent, const char* name) {
  const pugi::xml_node node = parent.child(name);
  if (!node) return std::nullopt;
  return parseNumber(node.attribute("val").value());
}

std::optional<int> childInt(const pugi::xml_node& parent, const char* name) {
  const auto v = childDouble(parent, name);
  if (!v || std::abs(*v) > 2e9) return std::nullopt;
  return int(std::lround(*v));
}

std::optional<bool> childBool(const pugi::xml_node& parent, const char* name) {
  const pugi::xml_node node = parent.child(name);
  if (!node) return std::nullopt;
  const pugi::xml_attribute val = node.attribute("val");
  if (!val) return true;
  const std::string_view v = val.value();
  return v == "1" || v == "true";
}

QString childString(const pugi::xml_node& parent, const char* name) {
  return qstr(parent.child(name).attribute("val").value());
}

DrawingColor readColorChoice(const pugi::xml_node& parent) {
  DrawingColor color;
  for (const pugi::xml_node& node : parent.children()) {
    if (is(node, "a:srgbClr")) {
      color.kind = DrawingColor::Kind::Rgb;
      color.rgb = QColor::fromString("#" + qstr(node.attribute("val").value()));
      if (!color.rgb.isValid()) color.rgb = Qt::black;
    } else if (is(node, "a:schemeClr")) {
      color.kind = DrawingColor::Kind::Scheme;
      color.scheme = qstr(node.attribute("val").value());
    } else if (is(node, "a:sysClr")) {
      color.kind = DrawingColor::Kind::System;
      color.rgb = systemColor(node);
    } else if (is(node, "a:prstClr")) {
      color.kind = DrawingColor::Kind::Preset;
      color.rgb = presetColor(qstr(node.attribute("val").value()));
    } else if (is(node, "a:scrgbClr")) {
      color.kind = DrawingColor::Kind::Rgb;
      color.rgb = QColor::fromRgbF(float(percentAttr(node, "r")), float(percentAttr(node, "g")),
                                   float(percentAttr(node, "b")));
    } else if (is(node, "a:hslClr")) {
      color.kind = DrawingColor::Kind::Rgb;
      const double hue = std::fmod(node.attribute("hue").as_double() / 60000.0 / 360.0, 1.0);
      color.rgb = QColor::fromHslF(float(std::max(0.0, hue)), float(percentAttr(node, "sat")),
                                   float(percentAttr(node, "lum")));
    } else {
      continue;
    }
    for (const pugi::xml_node& mod : node.children()) {
      QString name = qstr(mod.name());
      if (name.startsWith("a:")) name = name.mid(2);
      color.modifiers.emplace_back(name, mod.attribute("val").as_int(0));
    }
    break;
  }
  return color;
}

Fill readFill(const pugi::xml_node& parent) {
  Fill fill;
  for (const pugi::xml_node& node : parent.children()) {
    if (is(node, "a:noFill")) {
      fill.kind = Fill::Kind::None;
    } else if (is(node, "a:solidFill")) {
      fill.kind = Fill::Kind::Solid;
      fill.color = readColorChoice(node);
    } else if (is(node, "a:gradFill")) {
      fill.kind = Fill::Kind::Gradient;
      for (const pugi::xml_node& gs : node.child("a:gsLst").children("a:gs")) {
        GradientStop stop;
        stop.position = std::clamp(gs.attribute("pos").as_double() / 100000.0, 0.0, 1.0);
        stop.color = readColorChoice(gs);
        fill.stops.push_back(stop);
      }
      std::stable_sort(fill.stops.begin(), fill.stops.end(),
                       [](const GradientStop& a, const GradientStop& b) {
                         return a.position < b.position;
                       });
      if (const pugi::xml_node lin = node.child("a:lin"))
        fill.gradientAngle = lin.attribute("ang").as_double() / 60000.0;
      if (fill.stops.empty()) fill.kind = Fill::Kind::Unset;
      else fill.color = fill.stops.front().color;
    } else if (is(node, "a:pattFill")) {
      fill.kind = Fill::Kind::Pattern;
      fill.pattern = qstr(node.attribute("prst").value());
      fill.color = readColorChoice(node.child("a:fgClr"));
      fill.background = readColorChoice(node.child("a:bgClr"));
    } else {
      continue;
    }
    break;
  }
  return fill;
}

LineFormat readLine(const pugi::xml_node& ln) {
  LineFormat line;
  if (!ln) return line;
  line.fill = readFill(ln);
  if (line.fill.kind == Fill::Kind::Gradient || line.fill.kind == Fill::Kind::Pattern) {
    line.fill.kind = Fill::Kind::Solid;  // lines take the first stop / foreground
  }
  if (const pugi::xml_attribute w = ln.attribute("w")) {
    const double emu = w.as_double();
    if (emu >= 0 && emu < 20116800) line.widthPt = emu / 12700.0;
  }
  if (const pugi::xml_node dash = ln.child("a:prstDash"))
    line.dash = qstr(dash.attribute("val").value());
  else if (ln.child("a:custDash"))
    line.dash = "dash";
  return line;
}

namespace {

constexpr double kEmuPerPt = 12700;

// An EMU length attribute in points, within what a chart can show.
double emuAttribute(const pugi::xml_node& node, const char* name, double fallbackEmu = 0) {
  const pugi::xml_attribute a = node.attribute(name);
  const auto v = a ? parseNumber(a.value()) : std::optional<double>(fallbackEmu);
  return std::clamp(v.value_or(fallbackEmu) / kEmuPerPt, 0.0, 200.0);
}

EffectFormat readEffects(const pugi::xml_node& spPr) {
  EffectFormat e;
  if (const pugi::xml_node list = spPr.child("a:effectLst")) {
    e.listWritten = true;
    if (const pugi::xml_node s = list.child("a:outerShdw")) {
      EffectFormat::Shadow shadow;
      shadow.blurPt = emuAttribute(s, "blurRad");
      shadow.distancePt = emuAttribute(s, "dist");
      const auto dir = parseNumber(s.attribute("dir").value());
      shadow.directionDeg = std::fmod(dir.value_or(0) / 60000.0, 360.0);
      shadow.color = readColorChoice(s);
      if (!shadow.color.isSet()) shadow.color = DrawingColor::fromRgb(Qt::black);
      e.outerShadow = shadow;
    }
    if (const pugi::xml_node g = list.child("a:glow")) {
      e.glow = EffectFormat::Glow{emuAttribute(g, "rad"), readColorChoice(g)};
      if (e.glow->radiusPt <= 0 || !e.glow->color.isSet()) e.glow.reset();
    }
    if (const pugi::xml_node soft = list.child("a:softEdge")) {
      const double rad = emuAttribute(soft, "rad");
      if (rad > 0) e.softEdgePt = rad;
    }
  }
  if (const pugi::xml_node bevel = spPr.child("a:sp3d").child("a:bevelT")) {
    const double w = emuAttribute(bevel, "w", 76200);
    if (w > 0) e.bevelTopPt = w;
  }
  return e;
}

}  // namespace

ShapeFormat readShapeFormat(const pugi::xml_node& spPr) {
  ShapeFormat format;
  if (!spPr) return format;
  format.fill = readFill(spPr);
  format.line = readLine(spPr.child("a:ln"));
  format.effects = readEffects(spPr);
  return format;
}

TextFormat readTextFormat(const pugi::xml_node& rPr) {
  TextFormat f;
  if (!rPr) return f;
  if (const pugi::xml_attribute sz = rPr.attribute("sz")) {
    const double size = sz.as_double() / 100.0;
    if (size >= 1 && size <= 4000) f.sizePt = size;
  }
  if (const pugi::xml_attribute b = rPr.attribute("b")) f.bold = b.as_bool();
  if (const pugi::xml_attribute i = rPr.attribute("i")) f.italic = i.as_bool();
  if (const pugi::xml_attribute u = rPr.attribute("u"))
    f.underline = std::string_view(u.value()) != "none";
  const Fill fill = readFill(rPr);
  if (fill.kind == Fill::Kind::Solid || fill.kind == Fill::Kind::Gradient) f.color = fill.color;
  f.latinFont = qstr(rPr.child("a:latin").attribute("typeface").value());
  return f;
}

TextBody readTextBody(const pugi::xml_node& body) {
  TextBody text;
  if (!body) return text;
  const pugi::xml_node bodyPr = body.child("a:bodyPr");
  if (const pugi::xml_attribute rot = bodyPr.attribute("rot")) {
    const double deg = rot.as_double() / 60000.0;
    if (std::abs(deg) <= 360) text.rotationDeg = deg;
  }
  const std::string_view vert = bodyPr.attribute("vert").value();
  text.vertical = !vert.empty() && vert != "horz";
  for (const pugi::xml_node& p : body.children("a:p")) {
    TextParagraph paragraph;
    paragraph.defaults = readTextFormat(p.child("a:pPr").child("a:defRPr"));
    paragraph.hasProperties = bool(p.child("a:pPr"));
    for (const pugi::xml_node& r : p.children()) {
      if (is(r, "a:r") || is(r, "a:fld")) {
        TextRun run;
        run.text = qstr(r.child("a:t").text().get());
        run.format = readTextFormat(r.child("a:rPr"));
        paragraph.runs.push_back(run);
      } else if (is(r, "a:br")) {
        paragraph.runs.push_back(TextRun{"\n", readTextFormat(r.child("a:rPr"))});
      }
    }
    text.paragraphs.push_back(paragraph);
  }
  return text;
}

ManualLayout readLayout(const pugi::xml_node& layout) {
  ManualLayout m;
  const pugi::xml_node manual = layout.child("c:manualLayout");
  if (!manual) return m;
  m.innerTarget = childString(manual, "c:layoutTarget") == "inner";
  m.xEdge = childString(manual, "c:xMode") == "edge";
  m.yEdge = childString(manual, "c:yMode") == "edge";
  auto fraction = [&](const char* name) -> std::optional<double> {
    const auto v = childDouble(manual, name);
    if (!v || *v < -1 || *v > 2) return std::nullopt;
    return v;
  };
  m.x = fraction("c:x");
  m.y = fraction("c:y");
  m.w = fraction("c:w");
  m.h = fraction("c:h");
  if (m.w && *m.w <= 0) m.w.reset();
  if (m.h && *m.h <= 0) m.h.reset();
  return m;
}

}  // namespace morvane::ooxml::chart::detail
