#include "hosts/presentation/window.h"

#include "hosts/presentation/objects.h"
#include "hosts/presentation/paste.h"
#include "hosts/presentation/text.h"

namespace morvane::hosts::presentation {

using Kind = PresentationState::SelectionKind;

namespace {
office::AutomationError nothingSelected(const char* member) {
  return hostError(QStringLiteral("Selection"), QString::fromLatin1(member),
                   QStringLiteral("Invalid request.  Nothing appropriate is currently selected."));
}
}  // namespace

// --- Window --------------------------------------------------------------------------

int HostWindow::viewType() {
  m_state->doc();
  return m_state->viewType;
}

void HostWindow::setViewType(int viewType) {
  m_state->doc();
  if (viewType < 1 || viewType > 13)
    throw hostError(QStringLiteral("DocumentWindow"), QStringLiteral("ViewType"),
                    QStringLiteral("Invalid enumeration value."));
  m_state->viewType = viewType;
}

std::shared_ptr<ppt::View> HostWindow::view() {
  m_state->doc();
  return std::make_shared<HostView>(m_state);
}

std::shared_ptr<ppt::Selection> HostWindow::selection() {
  m_state->doc();
  return std::make_shared<HostSelection>(m_state);
}

// --- View ----------------------------------------------------------------------------

std::shared_ptr<ppt::Slide> HostView::slide() {
  m_state->shownIndex();
  return std::make_shared<HostSlide>(m_state, m_state->shownSlide);
}

void HostView::gotoSlide(int index) {
  ooxml::pptx::Document& doc = m_state->doc();
  if (index < 1 || index > doc.slideCount())
    throw hostError(QStringLiteral("View"), QStringLiteral("GotoSlide"),
                    QStringLiteral("Integer out of range. %1 is not in the valid range of 1 to %2.")
                        .arg(index)
                        .arg(doc.slideCount()));
  m_state->shownSlide = doc.slidePart(index - 1);
  m_state->clearSelection();
}

void HostView::pasteSpecial(int dataType, int displayAsIcon, const QString& /*iconFileName*/,
                            int /*iconIndex*/, const QString& /*iconLabel*/, int link) {
  if (displayAsIcon != ppt::msoFalse || link != ppt::msoFalse)
    throw hostError(QStringLiteral("View"), QStringLiteral("PasteSpecial"),
                    QStringLiteral("Pasting as an icon or as a link is not supported."));
  pasteClipboard(*m_state, dataType);
}

// --- Selection -----------------------------------------------------------------------

std::shared_ptr<ppt::SlideRange> HostSelection::slideRange() {
  if (m_state->selection == Kind::None) throw nothingSelected("SlideRange");
  m_state->slideIndex(m_state->selectedSlide);
  return std::make_shared<HostSlideRange>(m_state, m_state->selectedSlide);
}

std::shared_ptr<ppt::ShapeRange> HostSelection::shapeRange() {
  if (m_state->selection != Kind::Shape && m_state->selection != Kind::Text)
    throw nothingSelected("ShapeRange");
  m_state->shapeInfo(m_state->selectedShape);
  return std::make_shared<HostShapeRange>(m_state, m_state->selectedShape);
}

std::shared_ptr<ppt::TextRange> HostSelection::textRange() {
  PresentationState& s = *m_state;
  if (s.selection == Kind::Text)
    return std::make_shared<HostTextRange>(m_state, s.selectedShape, s.textStart, s.textLength);
  if (s.selection == Kind::Shape && s.shapeInfo(s.selectedShape).hasText)
    return std::make_shared<HostTextRange>(m_state, s.selectedShape, 1, -1);
  throw nothingSelected("TextRange");
}

void HostSelection::unselect() {
  m_state->doc();
  m_state->clearSelection();
}

std::shared_ptr<ppt::Shapes> HostSlideRange::shapes() {
  m_state->slideIndex(m_part);
  return std::make_shared<HostShapes>(m_state, m_part);
}

}  // namespace morvane::hosts::presentation
