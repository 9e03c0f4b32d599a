#include "hosts/presentation/objects.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "hosts/presentation/paste.h"
#include "hosts/presentation/provenance.h"
#include "hosts/presentation/text.h"

namespace morvane::hosts::presentation {

namespace {

const struct {
  int number;
  const char* type;
} kLayouts[] = {{ppt::ppLayoutTitle, "title"},
                {ppt::ppLayoutText, "tx"},
                {ppt::ppLayoutTitleOnly, "titleOnly"},
                {ppt::ppLayoutBlank, "blank"},
                {16, "obj"},
                {29, "twoObj"},
                {33, "secHead"},
                {ppt::ppLayoutCustom, "cust"}};

office::AutomationError outOfRange(const char* object, const char* member, int value, int lo,
                                   int hi) {
  return hostError(QString::fromLatin1(object), QString::fromLatin1(member),
                   QStringLiteral("Integer out of range. %1 is not in the valid range of %2 to %3.")
                       .arg(value)
                       .arg(lo)
                       .arg(hi));
}

}  // namespace

int layoutNumberOfType(const QString& type) {
  for (const auto& l : kLayouts)
    if (type == QLatin1String(l.type)) return l.number;
  return ppt::ppLayoutCustom;
}

QString layoutTypeOfNumber(int layout) {
  for (const auto& l : kLayouts)
    if (l.number == layout) return QString::fromLatin1(l.type);
  return {};
}

float toPoints(qint64 emu) { return float(double(emu) / double(ooxml::pptx::kEmuPerPoint)); }
qint64 toEmu(float points) {
  return qint64(std::llround(double(points) * ooxml::pptx::kEmuPerPoint));
}

// --- Presentation ------------------------------------------------------------------------

QString HostPresentation::name() {
  m_state->doc();
  return QFileInfo(m_state->path).fileName();
}

int HostPresentation::slidesCount() { return m_state->doc().slideCount(); }

std::shared_ptr<ppt::Slide> HostPresentation::slide(int index) {
  ooxml::pptx::Document& doc = m_state->doc();
  if (index < 1 || index > doc.slideCount())
    throw outOfRange("Slides", "Item", index, 1, doc.slideCount());
  return std::make_shared<HostSlide>(m_state, doc.slidePart(index - 1));
}

namespace {

// The layout of `layout` in the master the new slide joins.
QString layoutForNewSlide(PresentationState& state, int layout, const char* object,
                          const char* member) {
  ooxml::pptx::Document& doc = state.doc();
  QString master;
  if (doc.slideCount() > 0) master = doc.masterOfLayout(doc.slideLayout(doc.slideCount() - 1));
  if (master.isEmpty()) master = doc.masters().front().part;
  const QString type = layoutTypeOfNumber(layout);
  if (type.isEmpty())
    throw hostError(QString::fromLatin1(object), QString::fromLatin1(member),
                    QStringLiteral("Invalid enumeration value."));
  auto part = doc.layoutOfType(master, type);
  if (!part)
    throw hostError(QString::fromLatin1(object), QString::fromLatin1(member), part.error().message);
  return *part;
}

}  // namespace

std::shared_ptr<ppt::Slide> HostPresentation::slidesAdd(int index, int layout) {
  ooxml::pptx::Document& doc = m_state->doc();
  if (index < 1 || index > doc.slideCount() + 1)
    throw outOfRange("Slides", "Add", index, 1, doc.slideCount() + 1);
  const QString layoutPart = layoutForNewSlide(*m_state, layout, "Slides", "Add");
  if (auto s = doc.addSlide(index - 1, layoutPart); !s)
    throw hostError(QStringLiteral("Slides"), QStringLiteral("Add"), s.error().message);
  const QString part = doc.slidePart(index - 1);
  if (m_state->shownSlide.isEmpty()) m_state->shownSlide = part;
  return std::make_shared<HostSlide>(m_state, part);
}

std::shared_ptr<ppt::PageSetup> HostPresentation::pageSetup() {
  m_state->doc();
  return std::make_shared<HostPageSetup>(m_state);
}

float HostPageSetup::slideWidth() { return toPoints(m_state->doc().slideSize().cx); }
float HostPageSetup::slideHeight() { return toPoints(m_state->doc().slideSize().cy); }

// --- Slide -------------------------------------------------------------------------------

std::shared_ptr<ppt::Shapes> HostSlide::shapes() {
  m_state->slideIndex(m_part);
  return std::make_shared<HostShapes>(m_state, m_part);
}

void HostSlide::select() {
  m_state->slideIndex(m_part);
  m_state->selectSlide(m_part);
}

int HostSlide::layout() {
  ooxml::pptx::Document& doc = m_state->doc();
  return layoutNumberOfType(doc.layoutType(doc.slideLayout(m_state->slideIndex(m_part))));
}

void HostSlide::setLayout(int layout) {
  ooxml::pptx::Document& doc = m_state->doc();
  const int index = m_state->slideIndex(m_part);
  QString master = doc.masterOfLayout(doc.slideLayout(index));
  if (master.isEmpty()) master = doc.masters().front().part;
  const QString type = layoutTypeOfNumber(layout);
  if (type.isEmpty())
    throw hostError(QStringLiteral("Slide"), QStringLiteral("Layout"),
                    QStringLiteral("Invalid enumeration value."));
  auto part = doc.layoutOfType(master, type);
  if (!part)
    throw hostError(QStringLiteral("Slide"), QStringLiteral("Layout"), part.error().message);
  if (auto s = doc.setSlideLayout(index, *part); !s)
    throw hostError(QStringLiteral("Slide"), QStringLiteral("Layout"), s.error().message);
  if (layout == ppt::ppLayoutTitleOnly && !doc.titleShape(index)) doc.addTitlePlaceholder(index);
}

int HostSlide::slideIndex() { return m_state->slideIndex(m_part) + 1; }

// --- Shapes ------------------------------------------------------------------------------

int HostShapes::count() { return int(m_state->doc().shapes(m_state->slideIndex(m_part)).size()); }

std::shared_ptr<ppt::Shape> HostShapes::item(int index) {
  const auto shapes = m_state->doc().shapes(m_state->slideIndex(m_part));
  if (index < 1 || index > int(shapes.size()))
    throw outOfRange("Shapes", "Item", index, 1, int(shapes.size()));
  return std::make_shared<HostShape>(m_state, ShapeKey{m_part, shapes[size_t(index - 1)].id});
}

std::shared_ptr<ppt::Shape> HostShapes::addLabel(int orientation, float left, float top,
                                                 float width, float height) {
  if (orientation != ppt::msoTextOrientationHorizontal)
    throw hostError(QStringLiteral("Shapes"), QStringLiteral("AddLabel"),
                    QStringLiteral("Only horizontal labels are supported."));
  if (!(width >= 0 && height >= 0))
    throw hostError(QStringLiteral("Shapes"), QStringLiteral("AddLabel"),
                    QStringLiteral("The specified value is out of range."));
  ooxml::pptx::Document& doc = m_state->doc();
  const int slide = m_state->slideIndex(m_part);
  const quint32 id = doc.addTextBox(slide, {toEmu(left), toEmu(top), toEmu(width), toEmu(height)});
  const ShapeKey key{m_part, id};
  fitTextBox(*m_state, key);
  if (m_state->labelSource && m_state->labelSource->first == m_part) {
    office::SourceRecord record = m_state->labelSource->second;
    record.format = QLatin1String(office::SourceRecord::kLabel);
    writeSourceRecord(doc, slide, id, record);
    m_state->labelSource.reset();
  }
  return std::make_shared<HostShape>(m_state, key);
}

// --- Shape -------------------------------------------------------------------------------

QString HostShape::name() { return m_state->shapeInfo(m_key).name; }

std::shared_ptr<ppt::Tags> HostShape::tags() {
  m_state->shapeInfo(m_key);  // throws for a shape that is gone
  const ooxml::pptx::Document& doc = m_state->doc();
  const int slide = m_state->slideIndex(m_key.slidePart);
  auto tags = doc.shapeTags(slide, m_key.id);
  const QString source = QString::fromLatin1(kSourceTag);
  const bool tagged = std::any_of(tags.begin(), tags.end(), [&](const auto& t) {
    return t.name.compare(source, Qt::CaseInsensitive) == 0;
  });
  if (!tagged) {
    if (auto record = readSourceRecord(doc, slide, m_key.id))
      tags.push_back({source, record->compact()});
  }
  return std::make_shared<HostTags>(m_state, m_key, std::move(tags));
}

void HostShape::replaceWithClipboard(int dataType) {
  presentation::replaceWithClipboard(*m_state, m_key, dataType);
}

void HostTags::add(const QString& name, const QString& value) {
  m_state->shapeInfo(m_key);
  const int slide = m_state->slideIndex(m_key.slidePart);
  if (name.compare(QLatin1String(kSourceTag), Qt::CaseInsensitive) == 0) {
    auto record = office::SourceRecord::fromCompact(value);
    if (!record)
      throw hostError(QStringLiteral("Tags"), QStringLiteral("Add"),
                      QStringLiteral("The value is no source record."));
    rewriteSourceRecord(m_state->doc(), slide, m_key.id, *record);
  } else {
    m_state->doc().setShapeTag(slide, m_key.id, {name, value});
  }
  for (auto& tag : m_tags)
    if (tag.name.compare(name, Qt::CaseInsensitive) == 0) return void(tag.value = value);
  m_tags.push_back({name, value});
}

QString HostTags::item(const QString& name) {
  for (const auto& tag : m_tags)
    if (tag.name.compare(name, Qt::CaseInsensitive) == 0) return tag.value;
  return {};
}

const ooxml::pptx::Document::Tag& HostTags::at(int index) const {
  if (index < 1 || index > int(m_tags.size())) throw office::AutomationError::subscriptOutOfRange();
  return m_tags[size_t(index - 1)];
}

void HostShape::select(int /*replace*/) {
  // One shape is ever selected: replacing and adding to the selection come to the same.
  m_state->shapeInfo(m_key);
  m_state->selectShape(m_key);
}

std::shared_ptr<ppt::TextFrame> HostShape::textFrame() {
  if (!m_state->shapeInfo(m_key).hasText)
    throw hostError(QStringLiteral("Shape"), QStringLiteral("TextFrame"),
                    QStringLiteral("This type of shape has no text frame."));
  return std::make_shared<HostTextFrame>(m_state, m_key);
}

namespace {
ooxml::pptx::RectEmu frameOf(PresentationState& state, const ShapeKey& key, const char* member) {
  auto info = state.shapeInfo(key);
  if (!info.frame)
    throw hostError(QStringLiteral("Shape"), QString::fromLatin1(member),
                    QStringLiteral("This shape has no position."));
  return *info.frame;
}
}  // namespace

float HostShape::left() { return toPoints(frameOf(*m_state, m_key, "Left").x); }
float HostShape::top() { return toPoints(frameOf(*m_state, m_key, "Top").y); }
float HostShape::width() { return toPoints(frameOf(*m_state, m_key, "Width").cx); }
float HostShape::height() { return toPoints(frameOf(*m_state, m_key, "Height").cy); }

QString alternativeTextOf(PresentationState& state, const ShapeKey& key) {
  return state.shapeInfo(key).description;
}

void setAlternativeTextOf(PresentationState& state, const ShapeKey& key, const QString& text) {
  state.shapeInfo(key);
  state.doc().setDescription(state.slideIndex(key.slidePart), key.id, text);
}

QString HostShape::alternativeText() { return alternativeTextOf(*m_state, m_key); }
void HostShape::setAlternativeText(const QString& text) {
  setAlternativeTextOf(*m_state, m_key, text);
}

}  // namespace morvane::hosts::presentation
