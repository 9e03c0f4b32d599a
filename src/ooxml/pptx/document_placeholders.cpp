// Placeholders a slide keeps when it changes layout. A placeholder takes its position, size
// and text styles from its counterpart on the layout (and the master's); one the new layout
// has no counterpart for would lose them, and readers place and style it each their own way.
// Before the relink it gets them written on itself, as the old layout and master gave them.
#include <cstring>
#include <initializer_list>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/shape_xml.h"
#include "ooxml/pptx/detail/xml_tree.h"

namespace morvane::ooxml::pptx {

namespace {

using Names = std::initializer_list<const char*>;

// The schema's children of a property element, in order; the choices among them (a bullet
// is buNone or buChar, never both); and which children are property elements merged in turn
// (all of them when `nestedName` is null).
struct PropertyKind {
  Names order;
  std::initializer_list<Names> choices;
  const char* nestedName = nullptr;
  const PropertyKind* nested = nullptr;
};

const PropertyKind kRunProps{
    PPTX_RPR_ORDER,
    {{"a:noFill", "a:solidFill", "a:gradFill", "a:blipFill", "a:pattFill", "a:grpFill"},
     {"a:effectLst", "a:effectDag"},
     {"a:uLnTx", "a:uLn"},
     {"a:uFillTx", "a:uFill"}}};
const PropertyKind kParagraphProps{PPTX_PPR_ORDER,
                                   {{"a:buClrTx", "a:buClr"},
                                    {"a:buSzTx", "a:buSzPct", "a:buSzPts"},
                                    {"a:buFontTx", "a:buFont"},
                                    {"a:buNone", "a:buAutoNum", "a:buChar", "a:buBlip"}},
                                   "a:defRPr",
                                   &kRunProps};
const PropertyKind kBodyProps{PPTX_BODYPR_ORDER, {{"a:noAutofit", "a:normAutofit", "a:spAutoFit"}}};
const PropertyKind kListStyle{
    {"a:defPPr", "a:lvl1pPr", "a:lvl2pPr", "a:lvl3pPr", "a:lvl4pPr", "a:lvl5pPr", "a:lvl6pPr",
     "a:lvl7pPr", "a:lvl8pPr", "a:lvl9pPr", "a:extLst"},
    {},
    nullptr,
    &kParagraphProps};

bool named(pugi::xml_node n, const char* name) { return std::strcmp(n.name(), name) == 0; }

// The child of `parent` that already decides what `name` would: itself or another choice.
pugi::xml_node decided(pugi::xml_node parent, const char* name, const PropertyKind& kind) {
  for (Names choice : kind.choices) {
    bool inChoice = false;
    for (const char* n : choice) inChoice = inChoice || std::strcmp(n, name) == 0;
    if (!inChoice) continue;
    for (const char* n : choice)
      if (pugi::xml_node c = parent.child(n)) return c;
    return {};
  }
  return parent.child(name);
}

// Inserts a copy of `source` into `parent` at its place in `order`.
void insertCopy(pugi::xml_node parent, pugi::xml_node source, Names order) {
  int rank = 0;
  for (const char* n : order) {
    if (named(source, n)) break;
    ++rank;
  }
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    int r = 0;
    for (const char* n : order) {
      if (named(c, n)) break;
      ++r;
    }
    if (r > rank && r < int(order.size())) {
      parent.insert_copy_before(source, c);
      return;
    }
  }
  parent.append_copy(source);
}

// Gives `target` every attribute and child of `source` it does not decide itself; the
// nested paragraph and run properties are merged the same way, level by level.
void fillMissing(pugi::xml_node target, pugi::xml_node source, const PropertyKind& kind) {
  for (pugi::xml_attribute a : source.attributes())
    if (!target.attribute(a.name())) target.append_attribute(a.name()).set_value(a.value());
  for (pugi::xml_node c : source.children()) {
    if (c.type() != pugi::node_element || named(c, "a:extLst")) continue;
    pugi::xml_node mine = decided(target, c.name(), kind);
    if (!mine) {
      insertCopy(target, c, kind.order);
    } else if (kind.nested && named(mine, c.name()) &&
               (!kind.nestedName || named(c, kind.nestedName))) {
      fillMissing(mine, c, *kind.nested);
    }
  }
}

// The master's text style for a placeholder type.
const char* masterTextStyle(const QString& type) {
  if (type == QLatin1String("title") || type == QLatin1String("ctrTitle")) return "p:titleStyle";
  for (const char* other : {"dt", "ftr", "sldNum", "hdr"})
    if (type == QLatin1String(other)) return "p:otherStyle";
  return "p:bodyStyle";
}

pugi::xml_node counterpart(pugi::xml_node spTree, const QString& type, const QString& idx,
                           bool byIdx) {
  for (pugi::xml_node sp : spTree.children("p:sp")) {
    pugi::xml_node ph = sp.child("p:nvSpPr").child("p:nvPr").child("p:ph");
    if (ph && placeholderMatches(ph, type, idx, byIdx)) return sp;
  }
  return {};
}

// The text a placeholder shows: body properties and list styles, its own first.
void keepTextStyles(pugi::xml_node body, std::initializer_list<pugi::xml_node> sources,
                    pugi::xml_node masterStyle) {
  pugi::xml_node bodyPr = xml::ensureChild(body, "a:bodyPr", PPTX_TXBODY_ORDER);
  pugi::xml_node lstStyle = xml::ensureChild(body, "a:lstStyle", PPTX_TXBODY_ORDER);
  for (pugi::xml_node sp : sources) {
    fillMissing(bodyPr, sp.child("p:txBody").child("a:bodyPr"), kBodyProps);
    fillMissing(lstStyle, sp.child("p:txBody").child("a:lstStyle"), kListStyle);
  }
  fillMissing(lstStyle, masterStyle, kListStyle);
  // Written out, so that no reader anchors it as a master placeholder that merely shares its
  // idx (LibreOffice centres text under a date's idx).
  if (!bodyPr.attribute("anchor")) bodyPr.append_attribute("anchor").set_value("t");
}

}  // namespace

void Document::Impl::keepOrphanedPlaceholders(int slide, const QString& oldLayout,
                                              const QString& newLayout) {
  const pugi::xml_node oldTree = layoutTree(oldLayout);
  const QString master = masterOfLayoutPart(oldLayout);
  if (!oldTree || master.isEmpty()) return;
  const pugi::xml_node masterRoot = xml(master).child("p:sldMaster");
  const pugi::xml_node masterTree = masterRoot.child("p:cSld").child("p:spTree");
  bool changed = false;
  for (pugi::xml_node n = spTree(slide).first_child(); n; n = n.next_sibling()) {
    if (!shapexml::isShapeElement(n)) continue;
    const pugi::xml_node ph = shapexml::nvProps(n).child("p:nvPr").child("p:ph");
    if (!ph) continue;
    QString type = xml::attr(ph, "type");
    if (type.isEmpty()) type = QStringLiteral("obj");
    const QString idx = xml::attr(ph, "idx");
    if (counterpart(layoutTree(newLayout), type, idx, true)) continue;

    if (!xml::readXfrm(shapexml::xfrmOf(n, false))) {
      if (auto frame = inheritedFrame(oldLayout, type, idx)) {
        if (pugi::xml_node xfrm = shapexml::xfrmOf(n, true)) xml::writeXfrm(xfrm, *frame);
      }
    }
    if (pugi::xml_node body = n.child("p:txBody")) {
      keepTextStyles(
          body, {counterpart(oldTree, type, idx, true), counterpart(masterTree, type, idx, false)},
          masterRoot.child("p:txStyles").child(masterTextStyle(type)));
    }
    changed = true;
  }
  if (changed) markDirty(slides.at(size_t(slide)).part);
}

}  // namespace morvane::ooxml::pptx
