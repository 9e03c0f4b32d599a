// Where the parts of a shape live in its XML, whatever its kind. Internal.
#pragma once

#include <cstring>
#include <pugixml.hpp>

#include "ooxml/pptx/pptx_types.h"

namespace morvane::ooxml::pptx::shapexml {

// True for shape-tree children that are shapes (not the tree's own properties).
bool isShapeElement(pugi::xml_node n);
ShapeKind kindOf(pugi::xml_node n);
// The p:nv*Pr child, and its p:cNvPr.
pugi::xml_node nvProps(pugi::xml_node shape);
pugi::xml_node cNvPr(pugi::xml_node shape);
// The shape's transform element (a:xfrm or p:xfrm); created when `create`.
pugi::xml_node xfrmOf(pugi::xml_node shape, bool create);
// p:oleObj of an embedded-object frame, or empty.
pugi::xml_node oleObject(pugi::xml_node shape);

}  // namespace morvane::ooxml::pptx::shapexml
