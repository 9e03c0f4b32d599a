#include "ooxml/pptx/detail/xml_tree.h"

#include <cstring>

namespace morvane::ooxml::pptx::xml {

namespace {

int rankOf(const char* name, std::initializer_list<const char*> order) {
  int i = 0;
  for (const char* n : order) {
    if (std::strcmp(n, name) == 0) return i;
    ++i;
  }
  return -1;
}

}  // namespace

pugi::xml_node insertChild(pugi::xml_node parent, const char* name,
                           std::initializer_list<const char*> order) {
  const int rank = rankOf(name, order);
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    const int r = rankOf(c.name(), order);
    if (rank >= 0 && r > rank) return parent.insert_child_before(name, c);
  }
  return parent.append_child(name);
}

pugi::xml_node ensureChild(pugi::xml_node parent, const char* name,
                           std::initializer_list<const char*> order) {
  if (pugi::xml_node c = parent.child(name)) return c;
  return insertChild(parent, name, order);
}

std::optional<qint64> int64Attr(pugi::xml_node node, const char* name) {
  pugi::xml_attribute a = node.attribute(name);
  if (!a) return std::nullopt;
  bool ok = false;
  const qint64 v = QString::fromUtf8(a.value()).trimmed().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return v;
}

void setAttr(pugi::xml_node node, const char* name, qint64 value) {
  setAttr(node, name, QString::number(value));
}

void setAttr(pugi::xml_node node, const char* name, const QString& value) {
  pugi::xml_attribute a = node.attribute(name);
  if (!a) a = node.append_attribute(name);
  a.set_value(value.toUtf8().constData());
}

QString attr(pugi::xml_node node, const char* name) {
  return QString::fromUtf8(node.attribute(name).value());
}

std::optional<RectEmu> readXfrm(pugi::xml_node xfrm) {
  pugi::xml_node off = xfrm.child("a:off");
  pugi::xml_node ext = xfrm.child("a:ext");
  if (!off || !ext) return std::nullopt;
  RectEmu r;
  r.x = int64Attr(off, "x").value_or(0);
  r.y = int64Attr(off, "y").value_or(0);
  r.cx = int64Attr(ext, "cx").value_or(0);
  r.cy = int64Attr(ext, "cy").value_or(0);
  return r;
}

void writeXfrm(pugi::xml_node xfrm, const RectEmu& rect) {
  pugi::xml_node off = ensureChild(xfrm, "a:off", {"a:off", "a:ext", "a:chOff", "a:chExt"});
  pugi::xml_node ext = ensureChild(xfrm, "a:ext", {"a:off", "a:ext", "a:chOff", "a:chExt"});
  setAttr(off, "x", rect.x);
  setAttr(off, "y", rect.y);
  setAttr(ext, "cx", rect.cx);
  setAttr(ext, "cy", rect.cy);
}

pugi::xml_node appendFragment(pugi::xml_node parent, const QString& fragment) {
  pugi::xml_document doc;
  const QByteArray bytes = fragment.toUtf8();
  if (!doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default,
                       pugi::encoding_utf8))
    return {};
  return parent.append_copy(doc.document_element());
}

QString escaped(const QString& text) {
  QString out = text.toHtmlEscaped();
  return out;
}

QString xmlSafe(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (QChar c : s) {
    const ushort u = c.unicode();
    if (u >= 0x20 || u == 0x09 || u == 0x0a || u == 0x0d) out += c;
  }
  return out;
}

}  // namespace morvane::ooxml::pptx::xml
