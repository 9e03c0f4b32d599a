#include "support/powerpoint_double.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cmath>

#include "office/clipboard_formats.h"
#include "support/excel_double.h"

using namespace morvane;

namespace morvane::fake {

using office::AutomationError;
using State = std::shared_ptr<PowerPointState>;

std::shared_ptr<SlideState> PowerPointState::slide(int index) const {
  if (!presentation || index < 1 || index > int(presentation->slides.size())) return nullptr;
  return presentation->slides[index - 1];
}

namespace {

AutomationError failed(const QString& member, const QString& object) {
  return AutomationError::methodFailed(member, object);
}

// A bitmap's size in points at its own resolution, the nearest whole dpi (96 when it has none).
QSizeF pointSize(const QImage& image) {
  auto dpi = [](int dotsPerMeter) {
    return dotsPerMeter > 0 ? std::round(dotsPerMeter * 0.0254) : 96.0;
  };
  return QSizeF(image.width() * 72 / dpi(image.dotsPerMeterX()),
                image.height() * 72 / dpi(image.dotsPerMeterY()));
}

int indexOfSlide(const PowerPointState& s, const std::shared_ptr<SlideState>& slide) {
  for (int i = 0; s.presentation && i < int(s.presentation->slides.size()); ++i)
    if (s.presentation->slides[i] == slide) return i + 1;
  return 0;
}

struct Base {
  Base(State state, CallLog* log) : m_state(std::move(state)), m_log(log) {}
  void log(const QString& call) const { m_log->call(call); }
  State m_state;
  CallLog* m_log;
};

class TextRangeImpl : public ppt::TextRange, Base {
 public:
  TextRangeImpl(State s, CallLog* l, std::shared_ptr<ShapeState> shape, int slideIndex)
      : Base(std::move(s), l), m_shape(std::move(shape)), m_slideIndex(slideIndex) {}
  QString text() override { return log(QStringLiteral("TextRange.Text")), m_shape->text; }
  void setText(const QString& t) override {
    log(QStringLiteral("TextRange.Text=") + t);
    m_shape->text = t;
  }
  std::shared_ptr<ppt::TextRange> characters(int start, int length) override {
    log(QStringLiteral("TextRange.Characters(%1,%2)").arg(start).arg(length));
    return std::make_shared<TextRangeImpl>(m_state, m_log, m_shape, m_slideIndex);
  }
  void select() override {
    log(QStringLiteral("TextRange.Select"));
    const auto slide = m_state->slide(m_slideIndex);
    for (int i = 0; slide && i < int(slide->shapes.size()); ++i)
      if (slide->shapes[i] == m_shape) {
        m_state->shownSlide = m_slideIndex;
        m_state->selected = PowerPointState::Selected::Text;
        m_state->selectedShape = i + 1;
      }
  }
  int paragraphAlignment() override { return log(QStringLiteral("TextRange.ParagraphFormat.Alignment")), m_shape->alignment; }
  void setParagraphAlignment(int a) override {
    log(QStringLiteral("TextRange.ParagraphFormat.Alignment=%1").arg(a));
    m_shape->alignment = a;
  }
  float fontSize() override { return log(QStringLiteral("TextRange.Font.Size")), m_shape->fontSize; }
  void setFontSize(float size) override {
    log(QStringLiteral("TextRange.Font.Size=%1").arg(size));
    m_shape->fontSize = size;
  }
  QString fontName() override { return log(QStringLiteral("TextRange.Font.Name")), m_shape->fontName; }
  void setFontName(const QString& name) override {
    log(QStringLiteral("TextRange.Font.Name=") + name);
    m_shape->fontName = name;
  }

 private:
  std::shared_ptr<ShapeState> m_shape;
  int m_slideIndex;
};

class TextFrameImpl : public ppt::TextFrame, Base {
 public:
  TextFrameImpl(State s, CallLog* l, std::shared_ptr<ShapeState> shape, int slideIndex)
      : Base(std::move(s), l), m_shape(std::move(shape)), m_slideIndex(slideIndex) {}
  int wordWrap() override { return log(QStringLiteral("TextFrame.WordWrap")), m_shape->wordWrap; }
  void setWordWrap(int v) override {
    log(QStringLiteral("TextFrame.WordWrap=%1").arg(v));
    m_shape->wordWrap = v;
  }
  std::shared_ptr<ppt::TextRange> textRange() override {
    log(QStringLiteral("TextFrame.TextRange"));
    return std::make_shared<TextRangeImpl>(m_state, m_log, m_shape, m_slideIndex);
  }

 private:
  std::shared_ptr<ShapeState> m_shape;
  int m_slideIndex;
};

class ShapeImpl : public ppt::Shape, Base {
 public:
  ShapeImpl(State s, CallLog* l, std::shared_ptr<ShapeState> shape, int slideIndex, int index)
      : Base(std::move(s), l), m_shape(std::move(shape)), m_slideIndex(slideIndex), m_index(index) {}
  QString name() override { return log(QStringLiteral("Shape.Name")), m_shape->name; }
  void select(int replace) override {
    log(QStringLiteral("Shape(%1).Select(%2)").arg(m_index).arg(replace));
    if (m_state->shownSlide != m_slideIndex) throw failed(QStringLiteral("Select"), QStringLiteral("Shape"));
    m_state->selected = PowerPointState::Selected::Shape;
    m_state->selectedShape = m_index;
  }
  std::shared_ptr<ppt::TextFrame> textFrame() override {
    log(QStringLiteral("Shape.TextFrame"));
    return std::make_shared<TextFrameImpl>(m_state, m_log, m_shape, m_slideIndex);
  }
  float left() override { return m_shape->left; }
  float top() override { return m_shape->top; }
  float width() override { return m_shape->width; }
  float height() override { return m_shape->height; }
  QString alternativeText() override {
    return log(QStringLiteral("Shape.AlternativeText")), m_shape->alternativeText;
  }
  void setAlternativeText(const QString& text) override {
    log(QStringLiteral("Shape.AlternativeText=") + text);
    m_shape->alternativeText = text;
  }
  std::shared_ptr<ppt::Tags> tags() override;
  void replaceWithClipboard(int dataType) override;

 private:
  std::shared_ptr<ShapeState> m_shape;
  int m_slideIndex, m_index;
};

// A shape's tags: its source tag, when it has one.
class TagsImpl : public ppt::Tags {
 public:
  explicit TagsImpl(std::shared_ptr<ShapeState> shape)
      : m_shape(std::move(shape)), m_source(m_shape->sourceTag) {}
  int count() override { return m_source.isEmpty() ? 0 : 1; }
  QString name(int index) override { return at(index), QString::fromLatin1(ppt::kSourceTag); }
  QString value(int index) override { return at(index), m_source; }
  QString item(const QString& name) override {
    return name.compare(QLatin1String(ppt::kSourceTag), Qt::CaseInsensitive) == 0 ? m_source
                                                                                  : QString();
  }
  void add(const QString& name, const QString& value) override {
    // The double keeps its one tag only.
    if (name.compare(QLatin1String(ppt::kSourceTag), Qt::CaseInsensitive) != 0 ||
        !office::SourceRecord::fromCompact(value))
      throw AutomationError::subscriptOutOfRange();
    m_shape->sourceTag = m_source = value;
  }

 private:
  void at(int index) const {
    if (index < 1 || index > (m_source.isEmpty() ? 0 : 1))
      throw AutomationError::subscriptOutOfRange();
  }
  std::shared_ptr<ShapeState> m_shape;
  QString m_source;
};

std::shared_ptr<ppt::Tags> ShapeImpl::tags() {
  log(QStringLiteral("Shape.Tags"));
  return std::make_shared<TagsImpl>(m_shape);
}

// The record `compact` with `format` in it; empty when there is none.
QString withFormat(const QString& compact, const char* format) {
  auto record = office::SourceRecord::fromCompact(compact);
  if (!record) return {};
  record->format = QLatin1String(format);
  return record->compact();
}

const char* formatOf(int dataType) {
  return dataType == ppt::ppPasteBitmap             ? office::SourceRecord::kBitmap
         : dataType == ppt::ppPasteEnhancedMetafile ? office::SourceRecord::kEmf
         : dataType == ppt::ppPasteSVG              ? office::SourceRecord::kSvg
                                                    : office::SourceRecord::kObject;
}

// Keeps the frame; takes what the clipboard holds in the type a picture or an object takes.
void ShapeImpl::replaceWithClipboard(int dataType) {
  log(QStringLiteral("Shape.ReplaceWithClipboard(%1)").arg(dataType));
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  const bool object = dataType == ppt::ppPasteOLEObject;
  const bool held =
      !mime                            ? false
      : dataType == ppt::ppPasteBitmap ? mime->hasImage()
      : dataType == ppt::ppPasteSVG    ? mime->hasImage() && mime->hasFormat(office::kSvgMime)
      : dataType == ppt::ppPasteEnhancedMetafile ? mime->hasFormat(office::kEmfMime)
      : object ? mime->hasFormat(office::kNativeObjectMime) || mime->hasFormat(kFakeObjectMime)
               : false;
  if (!held || (m_shape->kind == ShapeState::Kind::Object) != object ||
      (m_shape->kind != ShapeState::Kind::Object && m_shape->kind != ShapeState::Kind::Picture))
    throw failed(QStringLiteral("ReplaceWithClipboard"), QStringLiteral("Shape"));
  m_shape->source = QString::fromUtf8(mime->data(kFakeObjectMime));
  m_shape->provenance = QString::fromUtf8(mime->data(office::kSourceMime));
  const QString tag = withFormat(m_shape->provenance, formatOf(dataType));
  if (!tag.isEmpty()) m_shape->sourceTag = tag;
}

class ShapeRangeImpl : public ppt::ShapeRange, Base {
 public:
  ShapeRangeImpl(State s, CallLog* l, std::shared_ptr<ShapeState> shape, int slideIndex)
      : Base(std::move(s), l), m_shape(std::move(shape)), m_slideIndex(slideIndex) {}
  int lockAspectRatio() override { return log(QStringLiteral("ShapeRange.LockAspectRatio")), m_shape->lockAspectRatio; }
  void setLockAspectRatio(int v) override {
    log(QStringLiteral("ShapeRange.LockAspectRatio=%1").arg(v));
    m_shape->lockAspectRatio = v;
  }
  float width() override { return log(QStringLiteral("ShapeRange.Width")), m_shape->width; }
  void setWidth(float v) override { log(QStringLiteral("ShapeRange.Width=%1").arg(v)), m_shape->width = v; }
  float height() override { return log(QStringLiteral("ShapeRange.Height")), m_shape->height; }
  void setHeight(float v) override { log(QStringLiteral("ShapeRange.Height=%1").arg(v)), m_shape->height = v; }
  float top() override { return log(QStringLiteral("ShapeRange.Top")), m_shape->top; }
  void setTop(float v) override { log(QStringLiteral("ShapeRange.Top=%1").arg(v)), m_shape->top = v; }
  float left() override { return log(QStringLiteral("ShapeRange.Left")), m_shape->left; }
  void setLeft(float v) override { log(QStringLiteral("ShapeRange.Left=%1").arg(v)), m_shape->left = v; }
  void scaleWidth(float f, int relative, int anchor) override {
    log(QStringLiteral("ShapeRange.ScaleWidth(%1,%2,%3)").arg(f).arg(relative).arg(anchor));
    const float old = m_shape->width;
    m_shape->width = (relative == ppt::msoTrue ? m_shape->originalWidth : old) * f;
    if (anchor == ppt::msoScaleFromBottomRight) m_shape->left += old - m_shape->width;
    if (anchor == ppt::msoScaleFromMiddle) m_shape->left += (old - m_shape->width) / 2;
  }
  void scaleHeight(float f, int relative, int anchor) override {
    log(QStringLiteral("ShapeRange.ScaleHeight(%1,%2,%3)").arg(f).arg(relative).arg(anchor));
    const float old = m_shape->height;
    m_shape->height = (relative == ppt::msoTrue ? m_shape->originalHeight : old) * f;
    if (anchor == ppt::msoScaleFromBottomRight) m_shape->top += old - m_shape->height;
    if (anchor == ppt::msoScaleFromMiddle) m_shape->top += (old - m_shape->height) / 2;
  }
  std::shared_ptr<ppt::TextFrame> textFrame() override {
    log(QStringLiteral("ShapeRange.TextFrame"));
    return std::make_shared<TextFrameImpl>(m_state, m_log, m_shape, m_slideIndex);
  }
  QString alternativeText() override {
    return log(QStringLiteral("ShapeRange.AlternativeText")), m_shape->alternativeText;
  }
  void setAlternativeText(const QString& text) override {
    log(QStringLiteral("ShapeRange.AlternativeText=") + text);
    m_shape->alternativeText = text;
  }

 private:
  std::shared_ptr<ShapeState> m_shape;
  int m_slideIndex;
};

class ShapesImpl : public ppt::Shapes, Base {
 public:
  ShapesImpl(State s, CallLog* l, std::shared_ptr<SlideState> slide) : Base(std::move(s), l), m_slide(std::move(slide)) {}
  int count() override { return log(QStringLiteral("Shapes.Count")), int(m_slide->shapes.size()); }
  std::shared_ptr<ppt::Shape> item(int index) override {
    log(QStringLiteral("Shapes.Item(%1)").arg(index));
    if (index < 1 || index > int(m_slide->shapes.size())) throw failed(QStringLiteral("Item"), QStringLiteral("Shapes"));
    return std::make_shared<ShapeImpl>(m_state, m_log, m_slide->shapes[index - 1], indexOfSlide(*m_state, m_slide), index);
  }
  std::shared_ptr<ppt::Shape> addLabel(int orientation, float left, float top, float width, float height) override {
    log(QStringLiteral("Shapes.AddLabel(%1,%2,%3,%4,%5)").arg(orientation).arg(left).arg(top).arg(width).arg(height));
    auto shape = std::make_shared<ShapeState>();
    shape->kind = ShapeState::Kind::Label;
    shape->name = QStringLiteral("TextBox %1").arg(m_slide->shapes.size() + 1);
    shape->left = left, shape->top = top, shape->width = width, shape->height = height;
    if (m_state->labelSlide.lock() == m_slide) {
      shape->sourceTag = withFormat(m_state->labelSource, office::SourceRecord::kLabel);
      m_state->labelSlide.reset();
    }
    m_slide->shapes.push_back(shape);
    return std::make_shared<ShapeImpl>(m_state, m_log, shape, indexOfSlide(*m_state, m_slide), int(m_slide->shapes.size()));
  }

 private:
  std::shared_ptr<SlideState> m_slide;
};

class SlideImpl : public ppt::Slide, Base {
 public:
  SlideImpl(State s, CallLog* l, std::shared_ptr<SlideState> slide) : Base(std::move(s), l), m_slide(std::move(slide)) {}
  std::shared_ptr<ppt::Shapes> shapes() override {
    log(QStringLiteral("Slide(%1).Shapes").arg(index()));
    return std::make_shared<ShapesImpl>(m_state, m_log, m_slide);
  }
  void select() override {
    log(QStringLiteral("Slide(%1).Select").arg(index()));
    if (!index()) throw failed(QStringLiteral("Select"), QStringLiteral("Slide"));
    m_state->shownSlide = index();
    m_state->selected = PowerPointState::Selected::Slide;
  }
  int layout() override { return log(QStringLiteral("Slide(%1).Layout").arg(index())), m_slide->layout; }
  void setLayout(int layout) override {
    log(QStringLiteral("Slide(%1).Layout=%2").arg(index()).arg(layout));
    m_slide->layout = layout;
    if (layout != ppt::ppLayoutTitleOnly) return;
    for (const auto& s : m_slide->shapes)
      if (s->kind == ShapeState::Kind::Title) return;
    auto title = std::make_shared<ShapeState>();
    title->kind = ShapeState::Kind::Title;
    title->name = QStringLiteral("Title %1").arg(m_slide->shapes.size() + 1);
    title->left = 36, title->top = 21.6f, title->width = 648, title->height = 90;
    m_slide->shapes.push_back(title);
  }
  int slideIndex() override { return log(QStringLiteral("Slide.SlideIndex")), index(); }

 private:
  int index() const { return indexOfSlide(*m_state, m_slide); }
  std::shared_ptr<SlideState> m_slide;
};

class SlideRangeImpl : public ppt::SlideRange, Base {
 public:
  SlideRangeImpl(State s, CallLog* l, std::shared_ptr<SlideState> slide) : Base(std::move(s), l), m_slide(std::move(slide)) {}
  std::shared_ptr<ppt::Shapes> shapes() override {
    log(QStringLiteral("SlideRange.Shapes"));
    return std::make_shared<ShapesImpl>(m_state, m_log, m_slide);
  }

 private:
  std::shared_ptr<SlideState> m_slide;
};

class SelectionImpl : public ppt::Selection, Base {
 public:
  using Base::Base;
  std::shared_ptr<ppt::SlideRange> slideRange() override {
    log(QStringLiteral("Selection.SlideRange"));
    const auto slide = m_state->slide(m_state->shownSlide);
    if (!slide || m_state->selected == PowerPointState::Selected::Nothing)
      throw failed(QStringLiteral("SlideRange"), QStringLiteral("Selection"));
    return std::make_shared<SlideRangeImpl>(m_state, m_log, slide);
  }
  std::shared_ptr<ppt::ShapeRange> shapeRange() override {
    log(QStringLiteral("Selection.ShapeRange"));
    return std::make_shared<ShapeRangeImpl>(m_state, m_log, selectedShape(QStringLiteral("ShapeRange")), m_state->shownSlide);
  }
  std::shared_ptr<ppt::TextRange> textRange() override {
    log(QStringLiteral("Selection.TextRange"));
    return std::make_shared<TextRangeImpl>(m_state, m_log, selectedShape(QStringLiteral("TextRange")), m_state->shownSlide);
  }
  void unselect() override {
    log(QStringLiteral("Selection.Unselect"));
    m_state->selected = PowerPointState::Selected::Nothing;
  }

 private:
  std::shared_ptr<ShapeState> selectedShape(const QString& member) {
    const auto slide = m_state->slide(m_state->shownSlide);
    const bool shapeSelected = m_state->selected == PowerPointState::Selected::Shape ||
                               m_state->selected == PowerPointState::Selected::Text;
    if (!slide || !shapeSelected || m_state->selectedShape < 1 || m_state->selectedShape > int(slide->shapes.size()))
      throw failed(member, QStringLiteral("Selection"));
    return slide->shapes[m_state->selectedShape - 1];
  }
};

class ViewImpl : public ppt::View, Base {
 public:
  using Base::Base;
  std::shared_ptr<ppt::Slide> slide() override {
    log(QStringLiteral("View.Slide"));
    const auto s = m_state->slide(m_state->shownSlide);
    if (!s) throw failed(QStringLiteral("Slide"), QStringLiteral("View"));
    return std::make_shared<SlideImpl>(m_state, m_log, s);
  }
  void gotoSlide(int index) override {
    log(QStringLiteral("View.GotoSlide(%1)").arg(index));
    if (!m_state->slide(index)) throw failed(QStringLiteral("GotoSlide"), QStringLiteral("View"));
    m_state->shownSlide = index;
    m_state->selected = PowerPointState::Selected::Slide;
  }
  void pasteSpecial(int dataType, int displayAsIcon, const QString& iconFileName, int iconIndex,
                    const QString& iconLabel, int link) override {
    log(QStringLiteral("View.PasteSpecial(%1,%2,\"%3\",%4,\"%5\",%6)")
            .arg(dataType).arg(displayAsIcon).arg(iconFileName).arg(iconIndex).arg(iconLabel).arg(link));
    const auto slide = m_state->slide(m_state->shownSlide);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!slide || !mime) throw failed(QStringLiteral("PasteSpecial"), QStringLiteral("View"));
    auto shape = std::make_shared<ShapeState>();
    shape->pasteType = dataType;
    shape->source = QString::fromUtf8(mime->data(kFakeObjectMime));
    shape->provenance = QString::fromUtf8(mime->data(office::kSourceMime));
    QSizeF size(200, 150);
    if (dataType == ppt::ppPasteBitmap) {
      if (!mime->hasImage()) throw failed(QStringLiteral("PasteSpecial"), QStringLiteral("View"));
      size = pointSize(qvariant_cast<QImage>(mime->imageData()));
      shape->kind = ShapeState::Kind::Picture;
    } else if (dataType == ppt::ppPasteSVG) {
      if (!mime->hasImage() || !mime->hasFormat(office::kSvgMime))
        throw failed(QStringLiteral("PasteSpecial"), QStringLiteral("View"));
      size = pointSize(qvariant_cast<QImage>(mime->imageData()));
      shape->kind = ShapeState::Kind::Picture;
    } else if (dataType == ppt::ppPasteEnhancedMetafile) {
      if (!mime->hasFormat(office::kEmfMime)) throw failed(QStringLiteral("PasteSpecial"), QStringLiteral("View"));
      shape->kind = ShapeState::Kind::Picture;
    } else {
      if (!mime->hasFormat(office::kNativeObjectMime) && !mime->hasFormat(kFakeObjectMime))
        throw failed(QStringLiteral("PasteSpecial"), QStringLiteral("View"));
      shape->kind = ShapeState::Kind::Object;
    }
    shape->name = QStringLiteral("Picture %1").arg(slide->shapes.size() + 1);
    shape->sourceTag = withFormat(shape->provenance, formatOf(dataType));
    m_state->labelSlide = slide;
    m_state->labelSource = shape->provenance;
    shape->width = shape->originalWidth = float(size.width());
    shape->height = shape->originalHeight = float(size.height());
    shape->left = (m_state->presentation->slideWidth - shape->width) / 2;
    shape->top = (m_state->presentation->slideHeight - shape->height) / 2;
    slide->shapes.push_back(shape);
    m_state->selected = PowerPointState::Selected::Shape;
    m_state->selectedShape = int(slide->shapes.size());
  }
};

class WindowImpl : public ppt::DocumentWindow, Base {
 public:
  using Base::Base;
  int viewType() override { return log(QStringLiteral("ActiveWindow.ViewType")), m_state->viewType; }
  void setViewType(int v) override {
    log(QStringLiteral("ActiveWindow.ViewType=%1").arg(v));
    m_state->viewType = v;
  }
  std::shared_ptr<ppt::View> view() override {
    log(QStringLiteral("ActiveWindow.View"));
    return std::make_shared<ViewImpl>(m_state, m_log);
  }
  std::shared_ptr<ppt::Selection> selection() override {
    log(QStringLiteral("ActiveWindow.Selection"));
    return std::make_shared<SelectionImpl>(m_state, m_log);
  }
};

// The slide size is PresentationState's, which a test may set to any size.
class PageSetupImpl : public ppt::PageSetup, Base {
 public:
  using Base::Base;
  float slideWidth() override {
    return log(QStringLiteral("PageSetup.SlideWidth")), pres().slideWidth;
  }
  float slideHeight() override {
    return log(QStringLiteral("PageSetup.SlideHeight")), pres().slideHeight;
  }

 private:
  PresentationState& pres() {
    if (!m_state->presentation)
      throw failed(QStringLiteral("PageSetup"), QStringLiteral("Presentation"));
    return *m_state->presentation;
  }
};

class PresentationImpl : public ppt::Presentation, Base {
 public:
  using Base::Base;
  QString name() override { return log(QStringLiteral("Presentation.Name")), pres().name; }
  int slidesCount() override { return log(QStringLiteral("Slides.Count")), int(pres().slides.size()); }
  std::shared_ptr<ppt::Slide> slide(int index) override {
    log(QStringLiteral("Slides.Item(%1)").arg(index));
    const auto s = m_state->slide(index);
    if (!s) throw failed(QStringLiteral("Item"), QStringLiteral("Slides"));
    return std::make_shared<SlideImpl>(m_state, m_log, s);
  }
  std::shared_ptr<ppt::Slide> slidesAdd(int index, int layout) override {
    log(QStringLiteral("Slides.Add(%1,%2)").arg(index).arg(layout));
    auto& slides = pres().slides;
    if (index < 1 || index > int(slides.size()) + 1) throw failed(QStringLiteral("Add"), QStringLiteral("Slides"));
    auto s = std::make_shared<SlideState>();
    s->layout = layout;
    s->id = m_state->nextSlideId++;
    slides.insert(slides.begin() + (index - 1), s);
    return std::make_shared<SlideImpl>(m_state, m_log, s);
  }
  std::shared_ptr<ppt::PageSetup> pageSetup() override {
    log(QStringLiteral("Presentation.PageSetup"));
    pres();
    return std::make_shared<PageSetupImpl>(m_state, m_log);
  }

 private:
  PresentationState& pres() {
    if (!m_state->presentation) throw failed(QStringLiteral("Presentation"), QStringLiteral("Application"));
    return *m_state->presentation;
  }
};

class ApplicationImpl : public ppt::Application, Base {
 public:
  using Base::Base;
  int windowsCount() override { return log(QStringLiteral("Windows.Count")), m_state->presentation ? 1 : 0; }
  std::shared_ptr<ppt::DocumentWindow> activeWindow() override {
    log(QStringLiteral("ActiveWindow"));
    if (!m_state->presentation) throw failed(QStringLiteral("ActiveWindow"), QStringLiteral("Application"));
    return std::make_shared<WindowImpl>(m_state, m_log);
  }
  std::shared_ptr<ppt::Presentation> activePresentation() override {
    log(QStringLiteral("ActivePresentation"));
    if (!m_state->presentation) throw failed(QStringLiteral("ActivePresentation"), QStringLiteral("Application"));
    return std::make_shared<PresentationImpl>(m_state, m_log);
  }
  QString version() override { return log(QStringLiteral("PowerPoint.Version")), m_state->version; }
  bool visible() override { return log(QStringLiteral("PowerPoint.Visible")), m_state->visible; }
  void setVisible(bool v) override {
    log(QStringLiteral("PowerPoint.Visible=%1").arg(v ? QStringLiteral("True") : QStringLiteral("False")));
    m_state->visible = v;
  }
  void save() override {
    log(QStringLiteral("PowerPoint.Save"));
    ++m_state->saves;
  }
};

}  // namespace

std::shared_ptr<ppt::Application> makePowerPoint(std::shared_ptr<PowerPointState> state, CallLog& log) {
  return std::make_shared<ApplicationImpl>(std::move(state), &log);
}

}  // namespace morvane::fake
