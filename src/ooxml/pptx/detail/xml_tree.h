// Small pugixml helpers for DrawingML/PresentationML editing: children in schema order,
// 64-bit attributes, canonical-prefix names. Internal to the presentation model.
#pragma once

#include <QString>
#include <initializer_list>
#include <optional>
#include <pugixml.hpp>

#include "ooxml/pptx/pptx_types.h"

namespace morvane::ooxml::pptx::xml {

// The child `name` of `parent`, created when missing at the place `order` (the schema's
// sequence of possible children) gives it.
pugi::xml_node ensureChild(pugi::xml_node parent, const char* name,
                           std::initializer_list<const char*> order);
// Inserts a new child `name` at its place in `order`, even when one exists.
pugi::xml_node insertChild(pugi::xml_node parent, const char* name,
                           std::initializer_list<const char*> order);
std::optional<qint64> int64Attr(pugi::xml_node node, const char* name);
void setAttr(pugi::xml_node node, const char* name, qint64 value);
void setAttr(pugi::xml_node node, const char* name, const QString& value);
QString attr(pugi::xml_node node, const char* name);
// Reads a:off/a:ext of an a:xfrm or p:xfrm element.
std::optional<RectEmu> readXfrm(pugi::xml_node xfrm);
// Writes a:off and a:ext (in that order), keeping other children.
void writeXfrm(pugi::xml_node xfrm, const RectEmu& rect);
// Parses a fragment of XML written with canonical prefixes and appends its root to `parent`.
pugi::xml_node appendFragment(pugi::xml_node parent, const QString& fragment);
// XML-escaped text for attribute values and fragments.
QString escaped(const QString& text);
// `text` without the characters XML 1.0 cannot carry.
QString xmlSafe(const QString& text);

// Element orders used by the editors.
#define PPTX_SPPR_ORDER                                                                          \
  {                                                                                              \
    "a:xfrm", "a:custGeom", "a:prstGeom", "a:noFill", "a:solidFill", "a:gradFill", "a:blipFill", \
        "a:pattFill", "a:grpFill", "a:ln", "a:effectLst", "a:effectDag", "a:scene3d", "a:sp3d",  \
        "a:extLst"                                                                               \
  }
#define PPTX_TXBODY_ORDER \
  { "a:bodyPr", "a:lstStyle", "a:p" }
#define PPTX_PPR_ORDER                                                                            \
  {                                                                                               \
    "a:lnSpc", "a:spcBef", "a:spcAft", "a:buClrTx", "a:buClr", "a:buSzTx", "a:buSzPct",           \
        "a:buSzPts", "a:buFontTx", "a:buFont", "a:buNone", "a:buAutoNum", "a:buChar", "a:buBlip", \
        "a:tabLst", "a:defRPr", "a:extLst"                                                        \
  }
#define PPTX_PARA_ORDER \
  { "a:pPr", "a:r", "a:br", "a:fld", "a:endParaRPr" }
#define PPTX_RPR_ORDER                                                                           \
  {                                                                                              \
    "a:ln", "a:noFill", "a:solidFill", "a:gradFill", "a:blipFill", "a:pattFill", "a:grpFill",    \
        "a:effectLst", "a:effectDag", "a:highlight", "a:uLnTx", "a:uLn", "a:uFillTx", "a:uFill", \
        "a:latin", "a:ea", "a:cs", "a:sym", "a:hlinkClick", "a:hlinkMouseOver", "a:rtl",         \
        "a:extLst"                                                                               \
  }
#define PPTX_BODYPR_ORDER                                                                 \
  {                                                                                       \
    "a:prstTxWarp", "a:noAutofit", "a:normAutofit", "a:spAutoFit", "a:scene3d", "a:sp3d", \
        "a:flatTx", "a:extLst"                                                            \
  }

}  // namespace morvane::ooxml::pptx::xml
