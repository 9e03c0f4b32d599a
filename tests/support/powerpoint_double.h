// The presentation half of the office double: slides and shapes in memory behind
// powerpoint.h, with a window, a selection and PasteSpecial reading the real desktop
// clipboard. Every member call goes to the shared CallLog.
#pragma once

#include "office/powerpoint.h"
#include "support/call_log.h"

#include <QString>

#include <memory>
#include <vector>

namespace morvane::fake {

struct ShapeState {
  enum class Kind { Picture, Object, Title, Label, Other };
  Kind kind = Kind::Other;
  QString name;
  QString source;  // what was pasted (the clipboard's marker) for pictures and objects
  QString provenance;  // the source record the clipboard offered with it, compact; empty: none
  QString sourceTag;   // its source tag: that record with the format pasted in (or "label")
  int pasteType = -1;
  float left = 0, top = 0, width = 0, height = 0;
  float originalWidth = 0, originalHeight = 0;
  int lockAspectRatio = ppt::msoTrue;
  QString text;
  int wordWrap = ppt::msoTrue;
  int alignment = ppt::ppAlignLeft;
  float fontSize = 18;
  QString fontName = QStringLiteral("Calibri");
  QString alternativeText;
};

struct SlideState {
  int layout = ppt::ppLayoutBlank;
  std::vector<std::shared_ptr<ShapeState>> shapes;
  int id = 0;
};

struct PresentationState {
  QString name = QStringLiteral("Deck.pptx");
  float slideWidth = 720, slideHeight = 540;
  std::vector<std::shared_ptr<SlideState>> slides;
};

struct PowerPointState {
  QString version = QStringLiteral("16.0");
  std::shared_ptr<PresentationState> presentation;  // null: no window open
  bool visible = true;
  int viewType = ppt::ppViewNormal;
  int shownSlide = 0;  // 1-based index of the slide the window shows; 0 none
  // The selection: nothing, a slide, a shape (index on the shown slide), or text in it.
  enum class Selected { Nothing, Slide, Shape, Text };
  Selected selected = Selected::Nothing;
  int selectedShape = 0;
  int saves = 0;
  int nextSlideId = 256;
  // The last paste's source record and slide, for the label that may follow it.
  std::weak_ptr<SlideState> labelSlide;
  QString labelSource;

  std::shared_ptr<SlideState> slide(int index) const;  // null when out of range
};

std::shared_ptr<ppt::Application> makePowerPoint(std::shared_ptr<PowerPointState> state, CallLog& log);

}  // namespace morvane::fake
