// The presentation host's document objects: Presentation, PageSetup, Slide, Shapes, Shape,
// ShapeRange.
// Each is a small handle onto the shared PresentationState.
#pragma once

#include <memory>

#include "hosts/presentation/state.h"
#include "office/powerpoint.h"

namespace morvane::hosts::presentation {

using StatePtr = std::shared_ptr<PresentationState>;

class HostPresentation : public ppt::Presentation {
 public:
  explicit HostPresentation(StatePtr state) : m_state(std::move(state)) {}
  QString name() override;
  int slidesCount() override;
  std::shared_ptr<ppt::Slide> slide(int index) override;
  // Layout ppLayoutBlank or ppLayoutTitleOnly (or another type the master has), taken from
  // the master of the last slide, the first master when there are no slides.
  std::shared_ptr<ppt::Slide> slidesAdd(int index, int layout) override;
  std::shared_ptr<ppt::PageSetup> pageSetup() override;

 private:
  StatePtr m_state;
};

// The deck's p:sldSz (4:3 when it is missing or not positive).
class HostPageSetup : public ppt::PageSetup {
 public:
  explicit HostPageSetup(StatePtr state) : m_state(std::move(state)) {}
  float slideWidth() override;
  float slideHeight() override;

 private:
  StatePtr m_state;
};

class HostSlide : public ppt::Slide {
 public:
  HostSlide(StatePtr state, QString part) : m_state(std::move(state)), m_part(std::move(part)) {}
  std::shared_ptr<ppt::Shapes> shapes() override;
  void select() override;
  int layout() override;
  // ppLayoutTitleOnly re-links the slide and adds a title after the existing shapes when it
  // has none; existing shapes stay.
  void setLayout(int layout) override;
  int slideIndex() override;

 private:
  StatePtr m_state;
  QString m_part;
};

class HostShapes : public ppt::Shapes {
 public:
  HostShapes(StatePtr state, QString part) : m_state(std::move(state)), m_part(std::move(part)) {}
  int count() override;
  std::shared_ptr<ppt::Shape> item(int index) override;
  std::shared_ptr<ppt::Shape> addLabel(int orientation, float left, float top, float width,
                                       float height) override;

 private:
  StatePtr m_state;
  QString m_part;
};

class HostShape : public ppt::Shape {
 public:
  HostShape(StatePtr state, ShapeKey key) : m_state(std::move(state)), m_key(std::move(key)) {}
  QString name() override;
  void select(int replace) override;
  std::shared_ptr<ppt::TextFrame> textFrame() override;
  float left() override;
  float top() override;
  float width() override;
  float height() override;
  QString alternativeText() override;
  void setAlternativeText(const QString& text) override;
  std::shared_ptr<ppt::Tags> tags() override;
  void replaceWithClipboard(int dataType) override;

 private:
  StatePtr m_state;
  ShapeKey m_key;
};

// The shape's tags as they stand when asked for, the source tag read back from the name when
// the tags part is gone.
class HostTags : public ppt::Tags {
 public:
  HostTags(StatePtr state, ShapeKey key, std::vector<ooxml::pptx::Document::Tag> tags)
      : m_state(std::move(state)), m_key(std::move(key)), m_tags(std::move(tags)) {}
  int count() override { return int(m_tags.size()); }
  QString name(int index) override { return at(index).name.toUpper(); }
  QString value(int index) override { return at(index).value; }
  QString item(const QString& name) override;
  void add(const QString& name, const QString& value) override;

 private:
  const ooxml::pptx::Document::Tag& at(int index) const;
  StatePtr m_state;
  ShapeKey m_key;
  std::vector<ooxml::pptx::Document::Tag> m_tags;
};

// The selected shape. Geometry in points; EMU = points x 12700.
class HostShapeRange : public ppt::ShapeRange {
 public:
  HostShapeRange(StatePtr state, ShapeKey key) : m_state(std::move(state)), m_key(std::move(key)) {}
  int lockAspectRatio() override;
  void setLockAspectRatio(int value) override;
  float width() override;
  void setWidth(float value) override;
  float height() override;
  void setHeight(float value) override;
  float top() override;
  void setTop(float value) override;
  float left() override;
  void setLeft(float value) override;
  void scaleWidth(float factor, int relativeToOriginalSize, int scale) override;
  void scaleHeight(float factor, int relativeToOriginalSize, int scale) override;
  std::shared_ptr<ppt::TextFrame> textFrame() override;
  QString alternativeText() override;
  void setAlternativeText(const QString& text) override;

 private:
  ooxml::pptx::RectEmu frame(const char* member);
  void setFrame(const ooxml::pptx::RectEmu& rect);
  void scale(bool horizontal, float factor, int relative, int anchor);
  StatePtr m_state;
  ShapeKey m_key;
};

// Layout type names and the program's layout numbers.
int layoutNumberOfType(const QString& type);
QString layoutTypeOfNumber(int layout);
float toPoints(qint64 emu);
qint64 toEmu(float points);
// A shape's AlternativeText (the file's descr), for Shape and ShapeRange alike.
QString alternativeTextOf(PresentationState& state, const ShapeKey& key);
void setAlternativeTextOf(PresentationState& state, const ShapeKey& key, const QString& text);

}  // namespace morvane::hosts::presentation
