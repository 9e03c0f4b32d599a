// Plain values the presentation model hands out: geometry in EMU, shape summaries, masters
// and their layouts. Nothing here refers to XML.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace morvane::ooxml::pptx {

inline constexpr qint64 kEmuPerPoint = 12700;

struct RectEmu {
  qint64 x = 0;
  qint64 y = 0;
  qint64 cx = 0;
  qint64 cy = 0;
  bool operator==(const RectEmu&) const = default;
};

struct SizeEmu {
  qint64 cx = 0;
  qint64 cy = 0;
};

// The kinds of top-level shape-tree children. Kinds the model does not edit are kept as they
// were written.
enum class ShapeKind { Shape, Picture, GraphicFrame, Group, Connector, Other };

struct ShapeInfo {
  quint32 id = 0;  // cNvPr id, unique on its slide
  QString name;
  ShapeKind kind = ShapeKind::Other;
  bool isPlaceholder = false;
  QString placeholderType;  // "title", "body", ...; "obj" for an untyped placeholder
  bool hasText = false;     // has a text body (p:txBody)
  bool isOleObject = false;
  QString description;  // cNvPr descr: the shape's alternative text
  // Own transform, or for a placeholder without one the layout's or master's.
  std::optional<RectEmu> frame;
};

struct LayoutInfo {
  QString part;    // "/ppt/slideLayouts/slideLayout6.xml"
  QString type;    // the layout's type attribute; "cust" when absent
  QString name;    // cSld name, for messages only: layouts are matched by type
  quint32 id = 0;  // sldLayoutId id in its master
};

struct MasterInfo {
  QString part;
  quint32 id = 0;
  std::vector<LayoutInfo> layouts;  // in sldLayoutIdLst order
};

// Picture formats the model embeds.
enum class ImageFormat { Png, Emf };

}  // namespace morvane::ooxml::pptx
