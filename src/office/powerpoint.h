// The presentation automation surface: the members of the presentation program's object
// model the tool uses, as abstract interfaces, with the program's own constant names.
// Implemented by the presentation host over a .pptx file and by the office double.
//
// Handles are reference-counted; every member may throw office::AutomationError.
// Positions and sizes are points (single precision); collections are 1-based.
#pragma once

#include "office/variant.h"

#include <QString>

#include <memory>

namespace morvane::ppt {

// PpViewType.
constexpr int ppViewSlide = 1;
constexpr int ppViewNormal = 9;
// PpSlideLayout.
constexpr int ppLayoutTitle = 1;
constexpr int ppLayoutText = 2;
constexpr int ppLayoutTitleOnly = 11;
constexpr int ppLayoutBlank = 12;
constexpr int ppLayoutCustom = 32;
// PpPasteDataType.
constexpr int ppPasteDefault = 0;
constexpr int ppPasteBitmap = 1;
constexpr int ppPasteEnhancedMetafile = 2;
constexpr int ppPasteOLEObject = 10;
// This platform's addition, which the program's enumeration lacks: a picture whose blip is
// the clipboard's bitmap (as PNG) with the clipboard's SVG as its vector form.
constexpr int ppPasteSVG = 100;
// MsoTriState.
constexpr int msoTrue = -1;
constexpr int msoFalse = 0;
// MsoScaleFrom.
constexpr int msoScaleFromTopLeft = 0;
constexpr int msoScaleFromMiddle = 1;
constexpr int msoScaleFromBottomRight = 2;
// MsoTextOrientation.
constexpr int msoTextOrientationHorizontal = 1;
// PpParagraphAlignment.
constexpr int ppAlignLeft = 1;
constexpr int ppAlignCenter = 2;

class Application;
class Presentation;
class PageSetup;
class Slide;
class Shapes;
class Shape;
class Tags;
class ShapeRange;
class TextFrame;
class TextRange;
class DocumentWindow;
class View;
class Selection;
class SlideRange;

class TextRange {
 public:
  virtual ~TextRange() = default;
  virtual QString text() = 0;
  virtual void setText(const QString& text) = 0;
  // Characters(Start, Length): a sub-range; Start from 1.
  virtual std::shared_ptr<TextRange> characters(int start, int length) = 0;
  // Places the text cursor on (or selects) this range: the window's Selection becomes it.
  virtual void select() = 0;
  // ParagraphFormat.Alignment.
  virtual int paragraphAlignment() = 0;
  virtual void setParagraphAlignment(int alignment) = 0;
  // Font.Size, Font.Name.
  virtual float fontSize() = 0;
  virtual void setFontSize(float size) = 0;
  virtual QString fontName() = 0;
  virtual void setFontName(const QString& name) = 0;
};

class TextFrame {
 public:
  virtual ~TextFrame() = default;
  virtual int wordWrap() = 0;  // msoTrue / msoFalse
  virtual void setWordWrap(int value) = 0;
  virtual std::shared_ptr<TextRange> textRange() = 0;
};

// Tags: name/value pairs a shape keeps and never shows. Names are compared ignoring case and
// reported upper-case, as the program stores them. Indices from 1.
class Tags {
 public:
  virtual ~Tags() = default;
  virtual int count() = 0;
  virtual QString name(int index) = 0;
  virtual QString value(int index) = 0;
  // Item(Name): the value, empty when the shape has no tag of that name.
  virtual QString item(const QString& name) = 0;
  // Add(Name, Value): sets the tag, replacing the value of one the shape has.
  virtual void add(const QString& name, const QString& value) = 0;
};

// The tag this platform's paste keeps on every shape it pastes from a workbook copy (and on
// its source label): the copy's office::SourceRecord, compact, with the format pasted in.
inline constexpr char kSourceTag[] = "MORVANE_SOURCE";

class Shape {
 public:
  virtual ~Shape() = default;
  virtual QString name() = 0;
  // Select(Replace): msoTrue replaces the selection.
  virtual void select(int replace = msoTrue) = 0;
  virtual std::shared_ptr<TextFrame> textFrame() = 0;
  virtual float left() = 0;
  virtual float top() = 0;
  virtual float width() = 0;
  virtual float height() = 0;
  // AlternativeText: what screen readers say for the shape.
  virtual QString alternativeText() = 0;
  virtual void setAlternativeText(const QString& text) = 0;
  // A program that re-saved the deck may have dropped the tags; the source tag is then read
  // back from the record the shape's name holds.
  virtual std::shared_ptr<Tags> tags() = 0;
  // This platform's addition, for refreshing a pasted object where it stands: the shape shows
  // the clipboard's data pasted as `dataType` (a picture type for a picture, ppPasteOLEObject
  // for an embedded object) instead of what it showed, in media of its own, and carries the
  // clipboard's source record. Its id, name, frame, effects and place stay; its crop stays
  // when the new picture has the old one's proportions, else the picture is fitted, centred,
  // inside the frame. Throws, changing nothing, when the clipboard lacks that data or the
  // shape cannot show it.
  virtual void replaceWithClipboard(int dataType) = 0;
};

// The shapes a selection holds; the tool always selects one.
class ShapeRange {
 public:
  virtual ~ShapeRange() = default;
  virtual int lockAspectRatio() = 0;
  virtual void setLockAspectRatio(int value) = 0;
  virtual float width() = 0;
  virtual void setWidth(float value) = 0;
  virtual float height() = 0;
  virtual void setHeight(float value) = 0;
  virtual float top() = 0;
  virtual void setTop(float value) = 0;
  virtual float left() = 0;
  virtual void setLeft(float value) = 0;
  // Scales by `factor` of the current size (RelativeToOriginalSize msoFalse) or of the
  // picture's original size (msoTrue), keeping the anchor point (msoScaleFrom...) fixed.
  virtual void scaleWidth(float factor, int relativeToOriginalSize, int scale) = 0;
  virtual void scaleHeight(float factor, int relativeToOriginalSize, int scale) = 0;
  virtual std::shared_ptr<TextFrame> textFrame() = 0;
  virtual QString alternativeText() = 0;
  virtual void setAlternativeText(const QString& text) = 0;
};

class Shapes {
 public:
  virtual ~Shapes() = default;
  virtual int count() = 0;
  virtual std::shared_ptr<Shape> item(int index) = 0;
  virtual std::shared_ptr<Shape> addLabel(int orientation, float left, float top, float width,
                                          float height) = 0;
};

class Slide {
 public:
  virtual ~Slide() = default;
  virtual std::shared_ptr<Shapes> shapes() = 0;
  // Makes the slide the window's shown slide and its Selection.
  virtual void select() = 0;
  virtual int layout() = 0;
  virtual void setLayout(int layout) = 0;
  virtual int slideIndex() = 0;
};

class SlideRange {
 public:
  virtual ~SlideRange() = default;
  virtual std::shared_ptr<Shapes> shapes() = 0;
};

class Selection {
 public:
  virtual ~Selection() = default;
  // The slide the selection is on; throws when nothing is selected.
  virtual std::shared_ptr<SlideRange> slideRange() = 0;
  // Throws unless shapes (or text in a shape) are selected.
  virtual std::shared_ptr<ShapeRange> shapeRange() = 0;
  // Throws unless text (or a shape with text) is selected.
  virtual std::shared_ptr<TextRange> textRange() = 0;
  virtual void unselect() = 0;
};

class View {
 public:
  virtual ~View() = default;
  virtual std::shared_ptr<Slide> slide() = 0;
  virtual void gotoSlide(int index) = 0;
  // Pastes the clipboard onto the shown slide as its last shape; throws when the clipboard
  // holds nothing of `dataType`.
  virtual void pasteSpecial(int dataType, int displayAsIcon = msoFalse,
                            const QString& iconFileName = QString(), int iconIndex = 0,
                            const QString& iconLabel = QString(), int link = msoFalse) = 0;
};

class DocumentWindow {
 public:
  virtual ~DocumentWindow() = default;
  virtual int viewType() = 0;
  virtual void setViewType(int viewType) = 0;
  virtual std::shared_ptr<View> view() = 0;
  virtual std::shared_ptr<Selection> selection() = 0;
};

// The presentation's slide size, in points (720 x 540 for 4:3, 720 x 405 or 960 x 540 for
// 16:9).
class PageSetup {
 public:
  virtual ~PageSetup() = default;
  virtual float slideWidth() = 0;
  virtual float slideHeight() = 0;
};

class Presentation {
 public:
  virtual ~Presentation() = default;
  virtual QString name() = 0;
  virtual int slidesCount() = 0;
  virtual std::shared_ptr<Slide> slide(int index) = 0;  // Slides.Item(index)
  virtual std::shared_ptr<Slide> slidesAdd(int index, int layout) = 0;
  virtual std::shared_ptr<PageSetup> pageSetup() = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  virtual int windowsCount() = 0;
  virtual std::shared_ptr<DocumentWindow> activeWindow() = 0;
  virtual std::shared_ptr<Presentation> activePresentation() = 0;
  virtual QString version() = 0;
  virtual bool visible() = 0;
  virtual void setVisible(bool visible) = 0;
  // This platform's one addition: write the presentation back (atomically) now. Called when
  // every paste command ends, succeeded or failed, and once more when the tool ends.
  virtual void save() = 0;
};

}  // namespace morvane::ppt
