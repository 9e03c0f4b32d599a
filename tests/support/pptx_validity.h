// Structural checks of a saved presentation, shared by the model's and the host's tests:
// every problem found is one line naming the part and what is wrong; none means valid.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace morvane::pptxcheck {

// Checks: a content type for every part; every internal relationship target present; no part
// unreachable from the package relationships; slide ids unique and >= 256; master and layout
// ids unique and >= 2147483648; shape ids unique on each slide; a:off before a:ext; the
// children of every p:pic and p:graphicFrame in schema order; no VML in embedded objects.
QStringList problems(const QByteArray& pptxBytes);

}  // namespace morvane::pptxcheck
