// Text bodies of shapes: text, paragraph alignment, font size and typeface, word wrap.
// Formatting is applied to the whole body, as the tool always formats whole labels.
#include <QStringList>
#include <cmath>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/shape_xml.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

namespace {

pugi::xml_node txBody(const Document::Impl& d, int slide, quint32 id) {
  return d.shapeNode(slide, id).child("p:txBody");
}

QString paragraphText(pugi::xml_node p) {
  QString out;
  for (pugi::xml_node c = p.first_child(); c; c = c.next_sibling()) {
    const char* n = c.name();
    if (std::strcmp(n, "a:r") == 0 || std::strcmp(n, "a:fld") == 0)
      out += QString::fromUtf8(c.child("a:t").text().get());
    else if (std::strcmp(n, "a:br") == 0)
      out += QChar(0x0b);
  }
  return out;
}

void copyAttributes(pugi::xml_node from, pugi::xml_node to) {
  for (pugi::xml_attribute a : from.attributes())
    to.append_attribute(a.name()).set_value(a.value());
  for (pugi::xml_node c : from.children()) to.append_copy(c);
}

// Every run-property element of the body: a:rPr of runs and fields, a:endParaRPr.
template <typename F>
void forEachRunProps(pugi::xml_node body, F&& f) {
  for (pugi::xml_node p : body.children("a:p")) {
    for (pugi::xml_node c = p.first_child(); c; c = c.next_sibling()) {
      const char* n = c.name();
      if (std::strcmp(n, "a:r") == 0 || std::strcmp(n, "a:fld") == 0 ||
          std::strcmp(n, "a:br") == 0) {
        pugi::xml_node rpr = c.child("a:rPr");
        if (!rpr) rpr = c.prepend_child("a:rPr");
        f(rpr);
      }
    }
    pugi::xml_node end = xml::ensureChild(p, "a:endParaRPr", PPTX_PARA_ORDER);
    f(end);
  }
}

pugi::xml_node firstRunProps(pugi::xml_node body) {
  for (pugi::xml_node p : body.children("a:p")) {
    for (pugi::xml_node r : p.children("a:r"))
      if (pugi::xml_node rpr = r.child("a:rPr")) return rpr;
  }
  for (pugi::xml_node p : body.children("a:p"))
    if (pugi::xml_node e = p.child("a:endParaRPr")) return e;
  return {};
}

}  // namespace

std::optional<QString> Document::text(int slide, quint32 id) const {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return std::nullopt;
  QStringList paragraphs;
  for (pugi::xml_node p : body.children("a:p")) paragraphs << paragraphText(p);
  return paragraphs.join(QChar('\r'));
}

bool Document::setText(int slide, quint32 id, const QString& text) {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return false;
  // The first paragraph's properties and the first run's properties carry over.
  pugi::xml_document keep;
  pugi::xml_node ppr = keep.append_child("pPr");
  pugi::xml_node rpr = keep.append_child("rPr");
  if (pugi::xml_node p0 = body.child("a:p")) {
    if (pugi::xml_node x = p0.child("a:pPr")) copyAttributes(x, ppr);
  }
  if (pugi::xml_node r0 = firstRunProps(body)) copyAttributes(r0, rpr);
  while (pugi::xml_node p = body.child("a:p")) body.remove_child(p);

  QString normalized = text;
  normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\r"))
      .replace(QChar('\n'), QChar('\r'));
  for (const QString& para : normalized.split(QChar('\r'))) {
    pugi::xml_node p = body.append_child("a:p");
    if (ppr.first_attribute() || ppr.first_child()) copyAttributes(ppr, p.append_child("a:pPr"));
    const QStringList pieces = para.split(QChar(0x0b));
    for (int i = 0; i < pieces.size(); ++i) {
      if (i > 0) copyAttributes(rpr, p.append_child("a:br").append_child("a:rPr"));
      // Characters XML 1.0 cannot carry are dropped rather than written.
      const QString piece = xml::xmlSafe(pieces[i]);
      if (piece.isEmpty()) continue;
      pugi::xml_node r = p.append_child("a:r");
      copyAttributes(rpr, r.append_child("a:rPr"));
      pugi::xml_node t = r.append_child("a:t");
      t.text().set(piece.toUtf8().constData());
    }
    copyAttributes(rpr, p.append_child("a:endParaRPr"));
    p.child("a:endParaRPr").remove_attribute("dirty");
  }
  m_impl->markDirty(slidePart(slide));
  return true;
}

namespace {
const char* const kAlign[] = {"l", "ctr", "r", "just", "dist"};
}

std::optional<int> Document::alignment(int slide, quint32 id) const {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return std::nullopt;
  const QString a = xml::attr(body.child("a:p").child("a:pPr"), "algn");
  for (int i = 0; i < 5; ++i)
    if (a == QLatin1String(kAlign[i])) return i + 1;
  return 1;
}

bool Document::setAlignment(int slide, quint32 id, int alignment) {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body || alignment < 1 || alignment > 5) return false;
  for (pugi::xml_node p : body.children("a:p")) {
    pugi::xml_node ppr = xml::ensureChild(p, "a:pPr", PPTX_PARA_ORDER);
    xml::setAttr(ppr, "algn", QString::fromLatin1(kAlign[alignment - 1]));
  }
  m_impl->markDirty(slidePart(slide));
  return true;
}

std::optional<double> Document::fontSize(int slide, quint32 id) const {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return std::nullopt;
  if (auto sz = xml::int64Attr(firstRunProps(body), "sz")) return double(*sz) / 100.0;
  return 18.0;
}

bool Document::setFontSize(int slide, quint32 id, double points) {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  // The schema's range for sz: 1 to 4000 points.
  if (!body || !(points >= 1.0 && points <= 4000.0)) return false;
  const qint64 sz = qint64(std::llround(points * 100.0));
  forEachRunProps(body, [&](pugi::xml_node rpr) { xml::setAttr(rpr, "sz", sz); });
  m_impl->markDirty(slidePart(slide));
  return true;
}

std::optional<QString> Document::fontName(int slide, quint32 id) const {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return std::nullopt;
  QString face = xml::attr(firstRunProps(body).child("a:latin"), "typeface");
  auto info = shape(slide, id);
  const bool title = info && (info->placeholderType == QLatin1String("title") ||
                              info->placeholderType == QLatin1String("ctrTitle"));
  if (face.isEmpty()) face = title ? QStringLiteral("+mj-lt") : QStringLiteral("+mn-lt");
  if (face == QLatin1String("+mj-lt")) return m_impl->themeFont(slide, true);
  if (face == QLatin1String("+mn-lt")) return m_impl->themeFont(slide, false);
  return face;
}

bool Document::setFontName(int slide, quint32 id, const QString& typeface) {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body || typeface.isEmpty()) return false;
  forEachRunProps(body, [&](pugi::xml_node rpr) {
    pugi::xml_node latin = xml::ensureChild(rpr, "a:latin", PPTX_RPR_ORDER);
    xml::setAttr(latin, "typeface", xml::xmlSafe(typeface));
  });
  m_impl->markDirty(slidePart(slide));
  return true;
}

std::optional<bool> Document::wordWrap(int slide, quint32 id) const {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return std::nullopt;
  return xml::attr(body.child("a:bodyPr"), "wrap") != QLatin1String("none");
}

bool Document::setWordWrap(int slide, quint32 id, bool wrap) {
  pugi::xml_node body = txBody(*m_impl, slide, id);
  if (!body) return false;
  pugi::xml_node bodyPr = xml::ensureChild(body, "a:bodyPr", PPTX_TXBODY_ORDER);
  xml::setAttr(bodyPr, "wrap", wrap ? QStringLiteral("square") : QStringLiteral("none"));
  m_impl->markDirty(slidePart(slide));
  return true;
}

bool Document::autoFits(int slide, quint32 id) const {
  return bool(txBody(*m_impl, slide, id).child("a:bodyPr").child("a:spAutoFit"));
}

}  // namespace morvane::ooxml::pptx
