// The presentation host's one document window: its view (the shown slide, paste) and its
// selection (a slide, a shape, or text in a shape; never more than one shape).
#pragma once

#include <memory>

#include "hosts/presentation/state.h"
#include "office/powerpoint.h"

namespace morvane::hosts::presentation {

class HostWindow : public ppt::DocumentWindow {
 public:
  explicit HostWindow(std::shared_ptr<PresentationState> state) : m_state(std::move(state)) {}
  int viewType() override;
  void setViewType(int viewType) override;
  std::shared_ptr<ppt::View> view() override;
  std::shared_ptr<ppt::Selection> selection() override;

 private:
  std::shared_ptr<PresentationState> m_state;
};

class HostView : public ppt::View {
 public:
  explicit HostView(std::shared_ptr<PresentationState> state) : m_state(std::move(state)) {}
  std::shared_ptr<ppt::Slide> slide() override;
  // Shows slide `index` (from 1); nothing stays selected.
  void gotoSlide(int index) override;
  // See paste.h.
  void pasteSpecial(int dataType, int displayAsIcon, const QString& iconFileName, int iconIndex,
                    const QString& iconLabel, int link) override;

 private:
  std::shared_ptr<PresentationState> m_state;
};

class HostSelection : public ppt::Selection {
 public:
  explicit HostSelection(std::shared_ptr<PresentationState> state) : m_state(std::move(state)) {}
  std::shared_ptr<ppt::SlideRange> slideRange() override;
  std::shared_ptr<ppt::ShapeRange> shapeRange() override;
  std::shared_ptr<ppt::TextRange> textRange() override;
  void unselect() override;

 private:
  std::shared_ptr<PresentationState> m_state;
};

class HostSlideRange : public ppt::SlideRange {
 public:
  HostSlideRange(std::shared_ptr<PresentationState> state, QString part)
      : m_state(std::move(state)), m_part(std::move(part)) {}
  std::shared_ptr<ppt::Shapes> shapes() override;

 private:
  std::shared_ptr<PresentationState> m_state;
  QString m_part;
};

}  // namespace morvane::hosts::presentation
