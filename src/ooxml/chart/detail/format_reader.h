// Readers for the DrawingML formatting elements charts and themes share. Internal to the
// chart model: callers pass canonical-prefix nodes from ooxml::parseXml. An empty node
// gives an unset value.
#pragma once

#include "ooxml/chart/drawing_format.h"

#include <pugixml.hpp>

#include <optional>

namespace morvane::ooxml::chart::detail {

// The colour choice inside `parent` (a:srgbClr, a:schemeClr, a:sysClr, a:prstClr,
// a:scrgbClr, a:hslClr) with its modifiers.
DrawingColor readColorChoice(const pugi::xml_node& parent);
// The fill choice among `parent`'s children (a:noFill, a:solidFill, a:gradFill, a:pattFill).
Fill readFill(const pugi::xml_node& parent);
LineFormat readLine(const pugi::xml_node& ln);
ShapeFormat readShapeFormat(const pugi::xml_node& spPr);
TextFormat readTextFormat(const pugi::xml_node& rPr);
// c:txPr or c:rich.
TextBody readTextBody(const pugi::xml_node& body);
ManualLayout readLayout(const pugi::xml_node& layout);

// Attribute helpers: `val` of `parent`'s child `name`.
std::optional<double> childDouble(const pugi::xml_node& parent, const char* name);
std::optional<int> childInt(const pugi::xml_node& parent, const char* name);
// Boolean val; an element without val means true, as the file format says.
std::optional<bool> childBool(const pugi::xml_node& parent, const char* name);
QString childString(const pugi::xml_node& parent, const char* name);
// Parses numbers the way the file writes them ("1.5E-3"); nullopt when not a finite number.
std::optional<double> parseNumber(const char* text);

}  // namespace morvane::ooxml::chart::detail
