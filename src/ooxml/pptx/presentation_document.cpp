#include "ooxml/pptx/presentation_document.h"

#include <algorithm>

#include "ooxml/pptx/blank_template.h"
#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/xml_tree.h"

namespace morvane::ooxml::pptx {

using ooxml::Error;
using ooxml::Result;
using ooxml::Status;

QString relType(const char* suffix) { return ooxml::reltype::officeRel(suffix); }
QString lower(const QString& s) { return s.toLower(); }

namespace {

Error missing(const ooxml::Package& p, const QString& what) {
  return Error{Error::Code::Missing, QStringLiteral("%1: %2").arg(p.displayName(), what)};
}

Error badXml(const ooxml::Package& p, const QString& what) {
  return Error{Error::Code::BadXml, QStringLiteral("%1: %2").arg(p.displayName(), what)};
}

}  // namespace

// --- Impl: parts ----------------------------------------------------------------------

Status Document::Impl::load(const QString& partName) {
  if (isLoaded(partName)) return {};
  auto doc = ooxml::readXml(*package, partName);
  if (!doc) return doc.error();
  parts[lower(partName)] = XmlPart{std::move(doc.value()), false, partName, ++useClock};
  return {};
}

bool Document::Impl::isLoaded(const QString& partName) const {
  return parts.count(lower(partName)) != 0;
}

pugi::xml_document& Document::Impl::xml(const QString& partName) {
  const Impl& self = *this;
  return const_cast<pugi::xml_document&>(self.xml(partName));
}

const pugi::xml_document& Document::Impl::xml(const QString& partName) const {
  auto found = parts.find(lower(partName));
  if (found == parts.end()) {
    // Set aside by trim(): the package holds the bytes it serialised, which parse again.
    auto doc = ooxml::readXml(*package, partName);
    XmlPart part{doc ? std::move(doc.value()) : std::make_unique<ooxml::XmlDocument>(), false,
                 partName};
    part.slide = true;
    part.broken = !doc;
    Q_ASSERT(doc.ok());
    found = parts.emplace(lower(partName), std::move(part)).first;
  }
  found->second.lastUse = ++useClock;
  return found->second.xml->doc;
}

void Document::Impl::markDirty(const QString& partName) {
  XmlPart& part = parts.at(lower(partName));
  part.dirty = !part.broken;
}

Status Document::Impl::addXmlPart(const QString& partName, const QByteArray& data,
                                  const QString& contentType) {
  auto doc = ooxml::parseXml(data, partName, package->limits().maxXmlDepth);
  if (!doc) return doc.error();
  doc.value()->strict = package->isStrict();
  if (Status s = package->write(partName, data, contentType); !s) return s;
  parts[lower(partName)] = XmlPart{std::move(doc.value()), true, partName, ++useClock};
  return {};
}

namespace {

Status writeBack(ooxml::Package& package, Document::Impl::XmlPart& part) {
  if (!part.dirty) return {};
  if (Status s =
          package.write(part.name, ooxml::serializeXml(*part.xml), package.contentType(part.name));
      !s)
    return s;
  part.dirty = false;
  return {};
}

}  // namespace

Status Document::Impl::flush() {
  for (auto& [key, part] : parts)
    if (Status s = writeBack(*package, part); !s) return s;
  return {};
}

Status Document::Impl::trim() {
  std::vector<std::pair<quint64, QString>> parsed;
  for (const auto& [key, part] : parts)
    if (part.slide) parsed.emplace_back(part.lastUse, key);
  if (parsed.size() <= 2 * kParsedSlides) return {};
  const auto firstKept = parsed.end() - ptrdiff_t(kParsedSlides);
  std::nth_element(parsed.begin(), firstKept, parsed.end());
  for (auto it = parsed.begin(); it != firstKept; ++it) {
    XmlPart& part = parts.at(it->second);
    if (Status s = writeBack(*package, part); !s) return s;
    parts.erase(it->second);
  }
  return {};
}

// --- Impl: index ----------------------------------------------------------------------

Status Document::Impl::index() {
  const auto officeDocs = package->relationshipsOfType(
      QStringLiteral("/"), QString::fromLatin1(ooxml::reltype::kOfficeDocument));
  if (officeDocs.empty() || officeDocs.front().targetPart.isEmpty())
    return missing(*package, QStringLiteral("no presentation part"));
  mainPart = officeDocs.front().targetPart;
  if (Status s = load(mainPart); !s) return s;
  pugi::xml_node pres = xml(mainPart).child("p:presentation");
  if (!pres) return badXml(*package, QStringLiteral("%1 is not a presentation").arg(mainPart));

  for (pugi::xml_node m : pres.child("p:sldMasterIdLst").children("p:sldMasterId")) {
    auto r = package->relationship(mainPart, xml::attr(m, "r:id"));
    if (!r || r->targetPart.isEmpty() || !package->hasPart(r->targetPart))
      return missing(*package, QStringLiteral("a slide master is missing"));
    if (Status s = load(r->targetPart); !s) return s;
    if (!xml(r->targetPart).child("p:sldMaster"))
      return badXml(*package, QStringLiteral("%1 is not a slide master").arg(r->targetPart));
    masters.push_back({quint32(xml::int64Attr(m, "id").value_or(0)), r->targetPart});
    for (pugi::xml_node l : xml(r->targetPart)
                                .child("p:sldMaster")
                                .child("p:sldLayoutIdLst")
                                .children("p:sldLayoutId")) {
      auto lr = package->relationship(r->targetPart, xml::attr(l, "r:id"));
      if (!lr || lr->targetPart.isEmpty() || !package->hasPart(lr->targetPart))
        return missing(*package,
                       QStringLiteral("a slide layout of %1 is missing").arg(r->targetPart));
      if (Status s = load(lr->targetPart); !s) return s;
      if (!xml(lr->targetPart).child("p:sldLayout"))
        return badXml(*package, QStringLiteral("%1 is not a slide layout").arg(lr->targetPart));
    }
  }
  if (masters.empty())
    return missing(*package, QStringLiteral("the presentation has no slide master"));

  for (pugi::xml_node s : pres.child("p:sldIdLst").children("p:sldId")) {
    auto r = package->relationship(mainPart, xml::attr(s, "r:id"));
    if (!r || r->targetPart.isEmpty() || !package->hasPart(r->targetPart))
      return missing(*package, QStringLiteral("slide %1 is missing").arg(slides.size() + 1));
    if (Status st = load(r->targetPart); !st) return st;
    if (!xml(r->targetPart).child("p:sld").child("p:cSld").child("p:spTree"))
      return badXml(*package, QStringLiteral("%1 is not a slide").arg(r->targetPart));
    slides.push_back({quint32(xml::int64Attr(s, "id").value_or(0)), r->targetPart});
    // Checked; past the first few, parsed again only when used.
    if (slides.size() > kParsedSlides)
      parts.erase(lower(r->targetPart));
    else
      parts.at(lower(r->targetPart)).slide = true;
    const QString layout = [&] {
      auto ls = package->relationshipsOfType(r->targetPart, relType(rel::kSlideLayout));
      return ls.empty() ? QString() : ls.front().targetPart;
    }();
    if (!layout.isEmpty() && package->hasPart(layout) && !isLoaded(layout)) {
      if (Status st = load(layout); !st) return st;
    }
  }
  return {};
}

// --- Document: construction -----------------------------------------------------------

Document::Document(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Document::~Document() = default;

Result<std::unique_ptr<Document>> Document::fromPackage(std::unique_ptr<ooxml::Package> package) {
  auto impl = std::make_unique<Impl>();
  impl->package = std::move(package);
  if (Status s = impl->index(); !s) return s.error();
  return std::unique_ptr<Document>(new Document(std::move(impl)));
}

Result<std::unique_ptr<Document>> Document::open(const QString& path, const ooxml::Limits& limits) {
  auto package = ooxml::Package::open(path, limits);
  if (!package) return package.error();
  return fromPackage(std::move(package.value()));
}

Result<std::unique_ptr<Document>> Document::openBytes(const QByteArray& data,
                                                      const QString& displayName,
                                                      const ooxml::Limits& limits) {
  auto package = ooxml::Package::openBytes(data, displayName, limits);
  if (!package) return package.error();
  return fromPackage(std::move(package.value()));
}

std::unique_ptr<Document> Document::createBlank() {
  auto doc = fromPackage(createBlankPackage());
  // The template is generated here; failing to read it back is a programming error.
  Q_ASSERT(doc.ok());
  return doc.ok() ? std::move(doc.value()) : nullptr;
}

const ooxml::Package& Document::package() const { return *m_impl->package; }

SizeEmu Document::slideSize() const {
  pugi::xml_node sz = m_impl->xml(m_impl->mainPart).child("p:presentation").child("p:sldSz");
  SizeEmu s{xml::int64Attr(sz, "cx").value_or(9144000), xml::int64Attr(sz, "cy").value_or(6858000)};
  if (s.cx <= 0 || s.cy <= 0) s = {9144000, 6858000};
  return s;
}

// --- slides ---------------------------------------------------------------------------

int Document::slideCount() const { return int(m_impl->slides.size()); }
QString Document::slidePart(int index) const { return m_impl->slides.at(size_t(index)).part; }
quint32 Document::slideId(int index) const { return m_impl->slides.at(size_t(index)).id; }

std::optional<int> Document::slideIndexOfPart(const QString& part) const {
  // Asked at every step of a paste: a scan of the slides would grow with the deck.
  auto& byPart = m_impl->slideIndexByPart;
  if (byPart.empty())
    for (size_t i = 0; i < m_impl->slides.size(); ++i)
      byPart.emplace(lower(m_impl->slides[i].part), int(i));
  const auto found = byPart.find(lower(part));
  if (found == byPart.end()) return std::nullopt;
  return found->second;
}

QString Document::slideLayout(int index) const {
  auto ls = m_impl->package->relationshipsOfType(slidePart(index), relType(rel::kSlideLayout));
  return ls.empty() ? QString() : ls.front().targetPart;
}

namespace {

QString emptySlideXml() {
  return QStringLiteral(
      "<p:sld><p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/>"
      "<p:nvPr/></p:nvGrpSpPr><p:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" "
      "cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>"
      "</p:spTree></p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>");
}

}  // namespace

QByteArray partXml(const QString& xmlText, bool strict) {
  // Declares the canonical prefixes on the root element so the part parses on its own.
  QString s = xmlText;
  int end = 1;
  while (end < s.size() && s[end] != QChar(' ') && s[end] != QChar('/') && s[end] != QChar('>'))
    ++end;
  const QString decl = QStringLiteral(" xmlns:a=\"%1\" xmlns:r=\"%2\" xmlns:p=\"%3\"")
                           .arg(ooxml::namespaceUri(QStringLiteral("a"), strict),
                                ooxml::namespaceUri(QStringLiteral("r"), strict),
                                ooxml::namespaceUri(QStringLiteral("p"), strict));
  s.insert(end, decl);
  return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") +
         s.toUtf8();
}

Status Document::addSlide(int index, const QString& layoutPart) {
  Impl& d = *m_impl;
  if (Status s = d.trim(); !s) return s;
  if (index < 0 || index > slideCount())
    return Error{Error::Code::Missing,
                 QStringLiteral("slide position %1 is out of range").arg(index + 1)};
  if (layoutType(layoutPart).isEmpty())
    return missing(*d.package, QStringLiteral("%1 is not a slide layout").arg(layoutPart));
  const QString part = d.package->uniquePartName(QStringLiteral("/ppt/slides/slide%1.xml"));
  if (Status s = d.addXmlPart(part, partXml(emptySlideXml(), d.package->isStrict()),
                              QString::fromLatin1(ctype::kSlide));
      !s)
    return s;
  d.parts.at(lower(part)).slide = true;
  d.package->addRelationship(part, relType(rel::kSlideLayout), layoutPart);
  const QString rid = d.package->addRelationship(d.mainPart, relType(rel::kSlide), part);

  quint32 id = 255;
  for (const auto& s : d.slides) id = std::max(id, s.id);
  ++id;
  if (id >= 2147483648u) {
    // Slide ids must stay below 2^31: take the lowest free one instead.
    id = 256;
    while (std::any_of(d.slides.begin(), d.slides.end(), [&](const auto& s) { return s.id == id; }))
      ++id;
  }
  pugi::xml_node pres = d.xml(d.mainPart).child("p:presentation");
  pugi::xml_node list = xml::ensureChild(
      pres, "p:sldIdLst",
      {"p:sldMasterIdLst", "p:notesMasterIdLst", "p:handoutMasterIdLst", "p:sldIdLst", "p:sldSz",
       "p:notesSz", "p:smartTags", "p:embeddedFontLst", "p:custShowLst", "p:photoAlbum",
       "p:custDataLst", "p:kinsoku", "p:defaultTextStyle", "p:modifyVerifier", "p:extLst"});
  pugi::xml_node before;
  // Appending, the common case, needs no walk through the list.
  if (index < slideCount()) {
    int i = 0;
    for (pugi::xml_node n : list.children("p:sldId")) {
      if (i++ == index) {
        before = n;
        break;
      }
    }
  }
  pugi::xml_node entry =
      before ? list.insert_child_before("p:sldId", before) : list.append_child("p:sldId");
  xml::setAttr(entry, "id", qint64(id));
  xml::setAttr(entry, "r:id", rid);
  d.markDirty(d.mainPart);
  d.slides.insert(d.slides.begin() + index, Impl::SlideRef{id, part});
  if (index + 1 == slideCount() && !d.slideIndexByPart.empty())
    d.slideIndexByPart.emplace(lower(part), index);
  else
    d.slideIndexByPart.clear();

  if (layoutType(layoutPart) == QLatin1String("titleOnly")) addTitlePlaceholder(index);
  return {};
}

Status Document::setSlideLayout(int index, const QString& layoutPart) {
  Impl& d = *m_impl;
  if (layoutType(layoutPart).isEmpty())
    return missing(*d.package, QStringLiteral("%1 is not a slide layout").arg(layoutPart));
  const QString part = slidePart(index);
  const QString oldLayout = slideLayout(index);
  if (lower(oldLayout) != lower(layoutPart))
    d.keepOrphanedPlaceholders(index, oldLayout, layoutPart);
  for (const auto& r : d.package->relationshipsOfType(part, relType(rel::kSlideLayout)))
    d.package->removeRelationship(part, r.id);
  d.package->addRelationship(part, relType(rel::kSlideLayout), layoutPart);
  return {};
}

// --- saving ---------------------------------------------------------------------------

Status Document::save(const QString& path) {
  if (Status s = m_impl->flush(); !s) return s;
  m_impl->removeReleasedParts();
  return m_impl->package->save(path);
}

Result<QByteArray> Document::saveToBytes() {
  if (Status s = m_impl->flush(); !s) return s.error();
  m_impl->removeReleasedParts();
  return m_impl->package->saveToBytes();
}

bool Document::isModified() const {
  if (m_impl->package->isModified()) return true;
  for (const auto& [k, p] : m_impl->parts)
    if (p.dirty) return true;
  return false;
}

}  // namespace morvane::ooxml::pptx
