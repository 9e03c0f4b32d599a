// PresentationHost: the presentation program over one .pptx file. It is the automation
// Application: one window on the open presentation (none when opened without one), the
// selection rules of the program, and save(), which writes the file back atomically.
#pragma once

#include <memory>

#include "hosts/presentation/state.h"
#include "office/powerpoint.h"

namespace morvane::hosts::presentation {

class PresentationHost : public ppt::Application {
 public:
  // A host with `document` open, saved to `path`. The window shows the first slide.
  PresentationHost(std::unique_ptr<ooxml::pptx::Document> document, const QString& path);
  // A host with no presentation open: Windows.Count is 0, ActivePresentation fails.
  PresentationHost();

  int windowsCount() override;
  std::shared_ptr<ppt::DocumentWindow> activeWindow() override;
  std::shared_ptr<ppt::Presentation> activePresentation() override;
  QString version() override;  // "16.0"
  bool visible() override;
  void setVisible(bool visible) override;
  // Writes the presentation to its path (temporary file, flush, rename). Does nothing when no
  // presentation is open. Throws AutomationError naming the file and the reason on failure;
  // the file on disk is then as it was.
  void save() override;

  QString path() const;
  // Why the last save failed; empty when it succeeded or none was tried.
  QString lastSaveError() const;
  // REQUIRES: a presentation is open. For tests and diagnostics.
  const ooxml::pptx::Document& document() const;

 private:
  std::shared_ptr<PresentationState> m_state;
};

}  // namespace morvane::hosts::presentation
