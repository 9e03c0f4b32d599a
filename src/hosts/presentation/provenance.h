// Where each pasted shape came from, kept in the shape so the deck carries it through other
// programs' saves: a shape tag holding the compact source record, and the same record as
// the shape's name, for programs that drop tags. Reading takes the tag first, so a user who
// renames the shape keeps the link while the tag lives.
#pragma once

#include <optional>

#include "office/clipboard_formats.h"
#include "office/powerpoint.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::hosts::presentation {

inline constexpr const char* kSourceTag = ppt::kSourceTag;

// False for an unknown shape.
bool writeSourceRecord(ooxml::pptx::Document& doc, int slide, quint32 shapeId,
                       const office::SourceRecord& record);
// After a refresh: the tag takes the new record; the name too, unless the user renamed the
// shape (a name that is no record is the user's and stays).
bool rewriteSourceRecord(ooxml::pptx::Document& doc, int slide, quint32 shapeId,
                         const office::SourceRecord& record);
// The shape's record from its tag, else from its name; nullopt when it has none.
std::optional<office::SourceRecord> readSourceRecord(const ooxml::pptx::Document& doc, int slide,
                                                     quint32 shapeId);

}  // namespace morvane::hosts::presentation
