// PresentationState: what the presentation host's objects share: the open document, the one
// window's view and selection, and the original sizes of pictures. Every handle the host
// hands out holds the state, so handles stay valid as long as any of them lives.
#pragma once

#include <QSizeF>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::hosts::presentation {

// A shape as handles refer to it: its slide part and its id on that slide, so a handle keeps
// pointing at the same shape when slides are added before it.
struct ShapeKey {
  QString slidePart;
  quint32 id = 0;
  bool operator<(const ShapeKey& o) const {
    return std::pair(slidePart, id) < std::pair(o.slidePart, o.id);
  }
  bool operator==(const ShapeKey& o) const = default;
};

struct PresentationState {
  enum class SelectionKind { None, Slide, Shape, Text };

  std::unique_ptr<ooxml::pptx::Document> document;  // null: no presentation open
  QString path;
  QString saveError;  // why the last save failed; empty after one that succeeded
  int viewType = 9;  // ppViewNormal
  bool visible = true;
  QString shownSlide;  // slide part the window shows; empty when the deck has none

  SelectionKind selection = SelectionKind::None;
  QString selectedSlide;
  ShapeKey selectedShape;
  int textStart = 1;  // selected text: 1-based start and length
  int textLength = 0;

  // Natural sizes (EMU) of the pictures and objects pasted in this session; other pictures'
  // sizes are read from their image parts.
  std::map<ShapeKey, QSizeF> originalSize;
  // The source record of the last object pasted, with its slide part, until a label is added
  // there: that label is the object's source label and carries the record too.
  std::optional<std::pair<QString, office::SourceRecord>> labelSource;

  // The open document. Throws AutomationError when no presentation is open.
  ooxml::pptx::Document& doc();
  // Current index of a slide part. Throws AutomationError when the slide is gone.
  int slideIndex(const QString& slidePart);
  // Index of the shown slide. Throws AutomationError when the window shows none.
  int shownIndex();
  // The shape's current summary. Throws AutomationError when it is gone.
  ooxml::pptx::ShapeInfo shapeInfo(const ShapeKey& key);
  void selectShape(const ShapeKey& key);
  void selectSlide(const QString& slidePart);
  void clearSelection();
};

// The host's failures, in the program's words.
office::AutomationError hostError(const QString& object, const QString& member,
                                  const QString& what);

}  // namespace morvane::hosts::presentation
