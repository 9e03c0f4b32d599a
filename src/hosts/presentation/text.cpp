#include "hosts/presentation/text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "hosts/presentation/objects.h"

namespace morvane::hosts::presentation {

namespace {

// Text box insets (0.1 inch left and right, 0.05 inch top and bottom) in points.
constexpr double kInsetX = 7.2;
constexpr double kInsetY = 3.6;
constexpr double kLineFactor = 1.2;

office::AutomationError textError(const char* member, const QString& what) {
  return hostError(QStringLiteral("TextRange"), QString::fromLatin1(member), what);
}

// Width of one line of text in points.
double lineWidth(const QString& line, const QString& family, double size) {
  if (QGuiApplication::instance()) {
    QFont font(family);
    font.setPointSizeF(size);
    return QFontMetricsF(font).horizontalAdvance(line);
  }
  return line.size() * size * 0.55;  // no font system without an application: an estimate
}

}  // namespace

void fitTextBox(PresentationState& state, const ShapeKey& key) {
  ooxml::pptx::Document& doc = state.doc();
  const int slide = state.slideIndex(key.slidePart);
  if (!doc.autoFits(slide, key.id)) return;
  auto info = doc.shape(slide, key.id);
  if (!info || !info->frame) return;
  const QString text = doc.text(slide, key.id).value_or(QString());
  const double size = doc.fontSize(slide, key.id).value_or(18.0);
  const QString family = doc.fontName(slide, key.id).value_or(QString());
  const QStringList lines = text.split(QChar('\r'));
  ooxml::pptx::RectEmu r = *info->frame;
  const int lineCount = int(lines.size());
  if (!doc.wordWrap(slide, key.id).value_or(true)) {
    double widest = 0;
    for (const QString& l : lines) widest = std::max(widest, lineWidth(l, family, size));
    const qint64 cx = toEmu(float(widest + 2 * kInsetX));
    const int align = doc.alignment(slide, key.id).value_or(1);
    if (align == ppt::ppAlignCenter)
      r.x -= (cx - r.cx) / 2;
    else if (align == 3)
      r.x -= cx - r.cx;
    r.cx = cx;
  }
  r.cy = toEmu(float(lineCount * size * kLineFactor + 2 * kInsetY));
  doc.setFrame(slide, key.id, r);
}

// --- TextFrame -----------------------------------------------------------------------

int HostTextFrame::wordWrap() {
  auto wrap = m_state->doc().wordWrap(m_state->slideIndex(m_key.slidePart), m_key.id);
  if (!wrap)
    throw hostError(QStringLiteral("TextFrame"), QStringLiteral("WordWrap"),
                    QStringLiteral("This shape has no text."));
  return *wrap ? ppt::msoTrue : ppt::msoFalse;
}

void HostTextFrame::setWordWrap(int value) {
  if (!m_state->doc().setWordWrap(m_state->slideIndex(m_key.slidePart), m_key.id,
                                  value != ppt::msoFalse))
    throw hostError(QStringLiteral("TextFrame"), QStringLiteral("WordWrap"),
                    QStringLiteral("This shape has no text."));
  fitTextBox(*m_state, m_key);
}

std::shared_ptr<ppt::TextRange> HostTextFrame::textRange() {
  m_state->shapeInfo(m_key);
  return std::make_shared<HostTextRange>(m_state, m_key, 1, -1);
}

// --- TextRange -----------------------------------------------------------------------

int HostTextRange::slide() { return m_state->slideIndex(m_key.slidePart); }

QString HostTextRange::wholeText(const char* member) {
  auto t = m_state->doc().text(slide(), m_key.id);
  if (!t) throw textError(member, QStringLiteral("This shape has no text."));
  return *t;
}

QString HostTextRange::text() {
  const QString all = wholeText("Text");
  return m_length < 0 ? all.mid(m_start - 1) : all.mid(m_start - 1, m_length);
}

void HostTextRange::setText(const QString& text) {
  QString all = wholeText("Text");
  const int from = std::min<int>(m_start - 1, int(all.size()));
  const int len =
      m_length < 0 ? int(all.size()) - from : std::min<int>(m_length, int(all.size()) - from);
  all.replace(from, len, text);
  m_state->doc().setText(slide(), m_key.id, all);
  PresentationState& s = *m_state;
  const bool selected = s.selection == PresentationState::SelectionKind::Text &&
                        s.selectedShape == m_key && s.textStart == m_start;
  if (m_length >= 0) m_length = int(text.size());
  if (selected) s.textLength = int(text.size());
  fitTextBox(*m_state, m_key);
}

std::shared_ptr<ppt::TextRange> HostTextRange::characters(int start, int length) {
  const QString mine = text();
  if (start < 1 || length < 0)
    throw textError("Characters", QStringLiteral("The specified value is out of range."));
  const int from = std::min<int>(start - 1, int(mine.size()));
  const int len = std::min<int>(length, int(mine.size()) - from);
  return std::make_shared<HostTextRange>(m_state, m_key, m_start + from, len);
}

void HostTextRange::select() {
  const QString all = wholeText("Select");
  PresentationState& s = *m_state;
  s.selectShape(m_key);
  s.selection = PresentationState::SelectionKind::Text;
  s.textStart = m_start;
  s.textLength = m_length < 0 ? int(all.size()) - (m_start - 1) : m_length;
}

int HostTextRange::paragraphAlignment() {
  auto a = m_state->doc().alignment(slide(), m_key.id);
  if (!a) throw textError("ParagraphFormat", QStringLiteral("This shape has no text."));
  return *a;
}

void HostTextRange::setParagraphAlignment(int alignment) {
  if (!m_state->doc().setAlignment(slide(), m_key.id, alignment))
    throw textError("ParagraphFormat", QStringLiteral("The specified value is out of range."));
  fitTextBox(*m_state, m_key);
}

float HostTextRange::fontSize() {
  auto size = m_state->doc().fontSize(slide(), m_key.id);
  if (!size) throw textError("Font", QStringLiteral("This shape has no text."));
  return float(*size);
}

void HostTextRange::setFontSize(float size) {
  if (!m_state->doc().setFontSize(slide(), m_key.id, size))
    throw textError("Font", QStringLiteral("The specified value is out of range."));
  fitTextBox(*m_state, m_key);
}

QString HostTextRange::fontName() {
  auto name = m_state->doc().fontName(slide(), m_key.id);
  if (!name) throw textError("Font", QStringLiteral("This shape has no text."));
  return *name;
}

void HostTextRange::setFontName(const QString& name) {
  if (!m_state->doc().setFontName(slide(), m_key.id, name))
    throw textError("Font", QStringLiteral("The specified value is out of range."));
  fitTextBox(*m_state, m_key);
}

}  // namespace morvane::hosts::presentation
