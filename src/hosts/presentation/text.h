// Text frames and text ranges of the presentation host. A range is a span of a shape's text
// (1-based start, length); character formatting set through any range applies to the whole
// text body, which is what the tool's labels and titles need.
#pragma once

#include <memory>

#include "hosts/presentation/state.h"
#include "office/powerpoint.h"

namespace morvane::hosts::presentation {

class HostTextFrame : public ppt::TextFrame {
 public:
  HostTextFrame(std::shared_ptr<PresentationState> state, ShapeKey key)
      : m_state(std::move(state)), m_key(std::move(key)) {}
  int wordWrap() override;
  void setWordWrap(int value) override;
  std::shared_ptr<ppt::TextRange> textRange() override;

 private:
  std::shared_ptr<PresentationState> m_state;
  ShapeKey m_key;
};

class HostTextRange : public ppt::TextRange {
 public:
  // `length` -1: the whole text, whatever it becomes.
  HostTextRange(std::shared_ptr<PresentationState> state, ShapeKey key, int start, int length)
      : m_state(std::move(state)), m_key(std::move(key)), m_start(start), m_length(length) {}
  QString text() override;
  // Replaces the span; the range then covers the new text (as does the selection when it
  // is this span).
  void setText(const QString& text) override;
  std::shared_ptr<ppt::TextRange> characters(int start, int length) override;
  void select() override;
  int paragraphAlignment() override;
  void setParagraphAlignment(int alignment) override;
  float fontSize() override;
  void setFontSize(float size) override;
  QString fontName() override;
  void setFontName(const QString& name) override;

 private:
  QString wholeText(const char* member);
  int slide();
  std::shared_ptr<PresentationState> m_state;
  ShapeKey m_key;
  int m_start;
  int m_length;
};

// Resizes a text box that fits its text (a label) to its text as the program does: with word
// wrap off the width follows the longest line, left, centre or right edge kept by the
// alignment; the height follows the lines, top kept. Does nothing for other shapes.
void fitTextBox(PresentationState& state, const ShapeKey& key);

}  // namespace morvane::hosts::presentation
