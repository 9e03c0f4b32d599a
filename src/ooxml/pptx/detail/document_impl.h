// Internal state of ooxml::pptx::Document, shared by its implementation files. Holds the parsed XML
// of the parts the model reads or edits; a part marked dirty is serialised back on save. A
// parsed part costs tens of kilobytes whatever its size, so only the slides used last stay
// parsed: the others go back to the package as bytes and are parsed again when asked for.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "ooxml/detail/xml.h"
#include "ooxml/package.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

namespace rel {
inline constexpr char kSlide[] = "slide";
inline constexpr char kSlideLayout[] = "slideLayout";
inline constexpr char kSlideMaster[] = "slideMaster";
inline constexpr char kTheme[] = "theme";
inline constexpr char kImage[] = "image";
inline constexpr char kPackage[] = "package";
}  // namespace rel

namespace ctype {
inline constexpr char kSlide[] =
    "application/vnd.openxmlformats-officedocument.presentationml.slide+xml";
inline constexpr char kSlideLayout[] =
    "application/vnd.openxmlformats-officedocument.presentationml.slideLayout+xml";
inline constexpr char kPng[] = "image/png";
inline constexpr char kEmf[] = "image/x-emf";
inline constexpr char kSvg[] = "image/svg+xml";
inline constexpr char kXlsx[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
}  // namespace ctype

struct Document::Impl {
  struct XmlPart {
    std::unique_ptr<ooxml::XmlDocument> xml;
    bool dirty = false;
    QString name;         // as the package spells it
    quint64 lastUse = 0;  // of useClock
    bool slide = false;   // may be set aside by trim()
    // Could not be parsed again after it was set aside: never written back.
    bool broken = false;
  };
  // Parsed slides kept beyond the one in use; a deck of thousands stays a few MB of DOM.
  static constexpr size_t kParsedSlides = 48;
  struct SlideRef {
    quint32 id = 0;
    QString part;
  };
  struct MasterRef {
    quint32 id = 0;
    QString part;
  };

  std::unique_ptr<ooxml::Package> package;
  QString mainPart;
  mutable std::map<QString, XmlPart> parts;  // keyed by lower-cased part name
  mutable quint64 useClock = 0;
  std::vector<SlideRef> slides;
  // Lower-cased slide part -> first index in `slides`; rebuilt when empty, so it is cleared
  // whenever slides move.
  mutable std::map<QString, int> slideIndexByPart;
  std::vector<MasterRef> masters;
  // Parts a shape stopped referring to; those nothing else refers to are removed at save.
  std::set<QString> released;

  // Parses and keeps `partName`. Fails with Missing, BadXml or Unsafe.
  ooxml::Status load(const QString& partName);
  // The part's document, parsed again when it was set aside by trim(). REQUIRES: the part
  // was loaded (or added) once.
  pugi::xml_document& xml(const QString& partName);
  const pugi::xml_document& xml(const QString& partName) const;
  bool isLoaded(const QString& partName) const;
  void markDirty(const QString& partName);
  // Adds a new XML part (writes it at save) and keeps its parsed form.
  ooxml::Status addXmlPart(const QString& partName, const QByteArray& data,
                           const QString& contentType);

  // The shape-tree element of a slide.
  pugi::xml_node spTree(int slide) const;
  pugi::xml_node shapeNode(int slide, quint32 shapeId) const;
  quint32 nextShapeId(int slide) const;
  // Adds `bytes` as a new part from `pattern` and a relationship from the slide; the id.
  QString addBinaryPart(int slide, const QString& pattern, const QByteArray& bytes,
                        const char* contentType, const char* relType);
  // The placeholder on `layoutPart` (or its master) a slide placeholder inherits from.
  std::optional<RectEmu> inheritedFrame(const QString& layoutPart, const QString& type,
                                        const QString& idx) const;
  // The shape tree of a layout; empty when the part is no loaded layout.
  pugi::xml_node layoutTree(const QString& layoutPart) const;
  // The master a layout's relationship names; empty when unknown or not loaded.
  QString masterOfLayoutPart(const QString& layoutPart) const;
  // Before a slide leaves `oldLayout` for `newLayout`: each placeholder the new layout has no
  // counterpart for gets, written on itself, the position, size and text styles it inherited
  // from the old layout and its master, so it looks as it did.
  void keepOrphanedPlaceholders(int slide, const QString& oldLayout, const QString& newLayout);
  QString themeFont(int slide, bool major) const;
  // Loads masters, layouts and slides from presentation.xml.
  ooxml::Status index();
  ooxml::Status flush();
  // Once twice kParsedSlides slides are parsed, writes those used longest ago back to the
  // package and drops their DOM, keeping kParsedSlides. Call only where no node of a slide
  // is held (the entry points that add to a slide).
  ooxml::Status trim();
  // Drops the relationship `rid` of a slide when no element of the slide names it any more,
  // and marks its target released.
  void releaseRelationship(int slide, const QString& rid);
  // Removes the released parts no relationship of the package points at.
  void removeReleasedParts();
};

// True when the placeholder `ph` of a layout or master is the one a slide placeholder of
// `type` ("obj" when untyped) and `idx` takes after: titles by type; others by idx when
// `byIdx` and it has one, else by type (obj and body alike).
bool placeholderMatches(pugi::xml_node ph, const QString& type, const QString& idx, bool byIdx);

QString relType(const char* suffix);
// `xmlText` (canonical prefixes a, r, p) as a part: declaration plus namespace declarations.
QByteArray partXml(const QString& xmlText, bool strict);
QString lower(const QString& s);

}  // namespace morvane::ooxml::pptx
