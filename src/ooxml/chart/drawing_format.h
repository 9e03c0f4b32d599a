// DrawingML formatting values a chart part carries (colours, fills, lines, text properties),
// kept unresolved: scheme colours and modifiers are resolved against a Theme when drawing.
#pragma once

#include <QColor>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace morvane::ooxml::chart {

// A colour as written: a literal, a scheme slot or a system/preset colour, plus the
// modifiers (lumMod, lumOff, tint, shade, alpha, satMod ...) in file order, each in 1/1000 %.
struct DrawingColor {
  enum class Kind { None, Rgb, Scheme, System, Preset };
  Kind kind = Kind::None;
  QColor rgb;          // Rgb, System (lastClr or the system colour) and Preset
  QString scheme;      // Scheme: "accent1", "tx1", "bg1", "phClr" ...
  std::vector<std::pair<QString, int>> modifiers;

  bool isSet() const { return kind != Kind::None; }
  static DrawingColor fromRgb(const QColor& c) {
    DrawingColor d;
    d.kind = Kind::Rgb;
    d.rgb = c;
    return d;
  }
  static DrawingColor fromScheme(const QString& name) {
    DrawingColor d;
    d.kind = Kind::Scheme;
    d.scheme = name;
    return d;
  }
};

struct GradientStop {
  double position = 0;  // 0..1
  DrawingColor color;
};

// Unset: nothing written, the chart style decides. None: explicitly no fill.
struct Fill {
  enum class Kind { Unset, None, Solid, Gradient, Pattern };
  Kind kind = Kind::Unset;
  DrawingColor color;                 // Solid; Pattern foreground
  DrawingColor background;            // Pattern background
  QString pattern;                    // Pattern preset ("shingle", "horzBrick" ...)
  std::vector<GradientStop> stops;    // Gradient, sorted by position
  double gradientAngle = 90;          // degrees, clockwise from the x axis (a:lin ang)
  bool isSet() const { return kind != Kind::Unset; }
};

struct LineFormat {
  Fill fill;                          // Unset / None / Solid (gradients use their first stop)
  std::optional<double> widthPt;
  QString dash;                       // prstDash: "solid", "dash", "sysDot" ... ; empty: unset
  bool isSet() const { return fill.isSet() || widthPt.has_value() || !dash.isEmpty(); }
};

// a:effectLst and a:sp3d as far as charts draw them; distances in points, angles in degrees
// clockwise from the x axis.
struct EffectFormat {
  struct Shadow {
    double blurPt = 0, distancePt = 0, directionDeg = 0;
    DrawingColor color;  // with its alpha modifier
  };
  struct Glow {
    double radiusPt = 0;
    DrawingColor color;
  };
  bool listWritten = false;           // an a:effectLst, even empty: the style's effects are off
  std::optional<Shadow> outerShadow;  // a:outerShdw
  std::optional<Glow> glow;           // a:glow
  std::optional<double> softEdgePt;   // a:softEdge rad
  std::optional<double> bevelTopPt;   // a:sp3d/a:bevelT w (its default 6 pt when written bare)
};

// c:spPr.
struct ShapeFormat {
  Fill fill;
  LineFormat line;
  EffectFormat effects;
};

// Character properties (a:defRPr / a:rPr); unset members inherit.
struct TextFormat {
  std::optional<double> sizePt;
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<bool> underline;
  std::optional<DrawingColor> color;
  QString latinFont;                  // typeface as written, "+mn-lt"/"+mj-lt" for theme fonts

  // Members set in `over` replace ours.
  void mergeFrom(const TextFormat& over);
};

struct TextRun {
  QString text;
  TextFormat format;
};

struct TextParagraph {
  TextFormat defaults;                // a:pPr/a:defRPr
  std::vector<TextRun> runs;
  bool hasProperties = false;  // a:pPr present, even empty
};

// c:txPr or c:rich: body rotation plus paragraphs. For c:txPr only the first paragraph's
// defaults matter.
struct TextBody {
  std::optional<double> rotationDeg;  // a:bodyPr rot, degrees (negative: counter-clockwise)
  bool vertical = false;              // a:bodyPr vert other than "horz"
  std::vector<TextParagraph> paragraphs;

  bool isEmpty() const { return paragraphs.empty(); }
  // Paragraphs, none with a:pPr: the program gives their runs text's own defaults.
  bool isBare() const;
  // First paragraph's defaults, or an empty format.
  TextFormat defaultFormat() const;
  // All runs' text, paragraphs joined with '\n'.
  QString plainText() const;
};

// c:manualLayout. Fractions of the chart area; modes "edge" (absolute) or "factor" (relative
// to the default position).
struct ManualLayout {
  bool innerTarget = false;           // layoutTarget inner: the plot rectangle without labels
  bool xEdge = false, yEdge = false;  // xMode/yMode edge
  std::optional<double> x, y, w, h;
  bool isSet() const { return x || y || w || h; }
};

}  // namespace morvane::ooxml::chart
