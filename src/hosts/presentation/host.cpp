#include "hosts/presentation/host.h"

#include "hosts/presentation/objects.h"
#include "hosts/presentation/window.h"

namespace morvane::hosts::presentation {

PresentationHost::PresentationHost(std::unique_ptr<ooxml::pptx::Document> document,
                                   const QString& path)
    : m_state(std::make_shared<PresentationState>()) {
  m_state->document = std::move(document);
  m_state->path = path;
  if (m_state->document && m_state->document->slideCount() > 0)
    m_state->shownSlide = m_state->document->slidePart(0);
}

PresentationHost::PresentationHost() : m_state(std::make_shared<PresentationState>()) {}

int PresentationHost::windowsCount() { return m_state->document ? 1 : 0; }

std::shared_ptr<ppt::DocumentWindow> PresentationHost::activeWindow() {
  if (!m_state->document)
    throw hostError(QStringLiteral("Application"), QStringLiteral("ActiveWindow"),
                    QStringLiteral("Invalid request.  There is no active window."));
  return std::make_shared<HostWindow>(m_state);
}

std::shared_ptr<ppt::Presentation> PresentationHost::activePresentation() {
  m_state->doc();
  return std::make_shared<HostPresentation>(m_state);
}

QString PresentationHost::version() { return QStringLiteral("16.0"); }
bool PresentationHost::visible() { return m_state->visible; }
void PresentationHost::setVisible(bool visible) { m_state->visible = visible; }

void PresentationHost::save() {
  if (!m_state->document) return;
  m_state->saveError.clear();
  if (ooxml::Status s = m_state->document->save(m_state->path); !s) {
    m_state->saveError = s.error().message;
    throw hostError(QStringLiteral("Presentation"), QStringLiteral("Save"), s.error().message);
  }
}

QString PresentationHost::lastSaveError() const { return m_state->saveError; }

QString PresentationHost::path() const { return m_state->path; }
const ooxml::pptx::Document& PresentationHost::document() const { return *m_state->document; }

}  // namespace morvane::hosts::presentation
