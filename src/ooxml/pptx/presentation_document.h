// Document: a presentation package (.pptx/.potx) as an editable model. Slides, masters and
// layouts are parsed on open; parts the model never edits (notes, handouts, media, charts,
// everything it does not understand) are kept and saved byte for byte.
//
// Slides are addressed by 0-based index, shapes by their id on the slide. The model owns its
// package; one Document per file, not thread-safe.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ooxml/package.h"
#include "ooxml/pptx/pptx_types.h"
#include "ooxml/result.h"

namespace morvane::ooxml::pptx {

class Document {
 public:
  // Opens a presentation file. Fails with the package's errors, or Missing/BadXml when the
  // presentation part, a master, a layout or a slide is absent or malformed. Never writes.
  static ooxml::Result<std::unique_ptr<Document>> open(const QString& path,
                                                       const ooxml::Limits& limits = {});
  static ooxml::Result<std::unique_ptr<Document>> openBytes(const QByteArray& data,
                                                            const QString& displayName,
                                                            const ooxml::Limits& limits = {});
  // Wraps an already opened package (the same checks as open).
  static ooxml::Result<std::unique_ptr<Document>> fromPackage(
      std::unique_ptr<ooxml::Package> package);
  // A new presentation from the built-in blank template: 4:3, 720 x 540 points, one master
  // with a Title Only and a Blank layout, no slides.
  static std::unique_ptr<Document> createBlank();

  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  const ooxml::Package& package() const;
  SizeEmu slideSize() const;

  // Masters in sldMasterIdLst order with their layouts.
  std::vector<MasterInfo> masters() const;
  // The master a layout belongs to; empty when unknown.
  QString masterOfLayout(const QString& layoutPart) const;
  // The layout of `type` in `masterPart` ("titleOnly", "blank"). When the master has none and
  // `type` is titleOnly or blank, adds a minimal one with its id, list entry, relationships
  // and content type. Fails with Missing for other types or an unknown master.
  ooxml::Result<QString> layoutOfType(const QString& masterPart, const QString& type);
  // The layout's type ("cust" when it has none); empty when the part is not a layout.
  QString layoutType(const QString& layoutPart) const;

  int slideCount() const;
  // REQUIRES: 0 <= index < slideCount() for all slide members below.
  QString slidePart(int index) const;
  quint32 slideId(int index) const;
  // Index of a slide part; nullopt when it is no slide of this presentation.
  std::optional<int> slideIndexOfPart(const QString& slidePart) const;
  QString slideLayout(int index) const;
  // Inserts a new slide at `index` (0..slideCount()) on `layoutPart`, copying the layout's
  // title placeholder when it has one (date, footer and number placeholders are not copied).
  ooxml::Status addSlide(int index, const QString& layoutPart);
  // Re-links the slide to `layoutPart`; its shapes stay. Placeholders the new layout has no
  // counterpart for keep the position, size and text styles the old layout gave them.
  ooxml::Status setSlideLayout(int index, const QString& layoutPart);

  // Shapes: top-level shape-tree children in z-order.
  std::vector<ShapeInfo> shapes(int slide) const;
  std::optional<ShapeInfo> shape(int slide, quint32 shapeId) const;
  // The title placeholder's id; nullopt when the slide has none.
  std::optional<quint32> titleShape(int slide) const;
  // Appends an empty title placeholder as the last shape and returns its id.
  quint32 addTitlePlaceholder(int slide);
  // Appends a text box (horizontal text, sized to fit its text, wrap none) and returns its id.
  quint32 addTextBox(int slide, const RectEmu& frame);
  // Appends a picture (PNG or EMF part under /ppt/media/) and returns its id.
  quint32 addPicture(int slide, const QByteArray& image, ImageFormat format, const RectEmu& frame,
                     const QString& description = {});
  // Appends a picture showing `png` whose blip names `svg` (a part under /ppt/media/) as its
  // vector form, and returns its id.
  quint32 addSvgPicture(int slide, const QByteArray& png, const QByteArray& svg,
                        const RectEmu& frame, const QString& description = {});
  // Appends an embedded workbook object (part under /ppt/embeddings/) shown through
  // `fallback`, and returns its id. `progId` is "Excel.Sheet.12" or "Excel.Chart.8".
  quint32 addEmbeddedWorkbook(int slide, const QByteArray& workbook, const QString& progId,
                              const QByteArray& fallback, ImageFormat fallbackFormat,
                              const RectEmu& frame);
  // The picture bytes a picture (or an embedded object's fallback picture) shows, with the
  // part's content type; nullopt for other shapes or a missing image part.
  struct PictureData {
    QByteArray bytes;
    QString contentType;
  };
  std::optional<PictureData> pictureData(int slide, quint32 shapeId) const;
  // What a refreshed picture or embedded workbook shows next. `aspect` is the new picture's
  // width ÷ height; `svg` is its vector form for a picture pasted with one; `workbook` the new
  // embedded workbook of an object.
  struct Replacement {
    QByteArray image;
    ImageFormat format = ImageFormat::Png;
    double aspect = 1;
    QByteArray svg;
    QByteArray workbook;
  };
  // Gives the shape new parts of its own for what it shows (a part another shape shares is
  // never written over) and keeps everything else of the shape: id, name, frame, rotation,
  // effects, its place in the tree. With `keepCrop` the user's crop and fill stay; without,
  // the crop goes and the picture is fitted, centred and unstretched, inside the unchanged
  // frame. Parts nothing refers to any more leave the package when it is saved. False when
  // the shape shows no picture.
  bool replacePicture(int slide, quint32 shapeId, const Replacement& replacement, bool keepCrop);

  // Geometry. Setting gives a placeholder its own transform. False for an unknown shape or
  // one without a transform (group children are moved with the group).
  bool setFrame(int slide, quint32 shapeId, const RectEmu& frame);
  bool lockAspectRatio(int slide, quint32 shapeId) const;
  void setLockAspectRatio(int slide, quint32 shapeId, bool locked);
  // The alternative text (cNvPr descr; ShapeInfo::description reads it). Characters XML cannot
  // carry are dropped. False for an unknown shape.
  bool setDescription(int slide, quint32 shapeId, const QString& text);

  // Shape tags: name/value pairs presentation programs keep with a shape and never show,
  // in a tags part named by the shape's p:custDataLst. Names are stored upper-case, as those
  // programs store them. Adding writes a new tags part; false for an unknown shape.
  struct Tag {
    QString name;
    QString value;
  };
  std::vector<Tag> shapeTags(int slide, quint32 shapeId) const;
  bool addShapeTags(int slide, quint32 shapeId, const std::vector<Tag>& tags);
  // Sets one tag, replacing its value when the shape has it: the shape gets a tags part of its
  // own with its other tags kept. False for an unknown shape.
  bool setShapeTag(int slide, quint32 shapeId, const Tag& tag);
  // The cNvPr name (ShapeInfo::name reads it). False for an unknown shape.
  bool setShapeName(int slide, quint32 shapeId, const QString& name);

  // Text of a shape with a text body; paragraphs separated by "\r". Members return nullopt /
  // false when the shape has no text body. Formatting applies to the whole text body.
  std::optional<QString> text(int slide, quint32 shapeId) const;
  bool setText(int slide, quint32 shapeId, const QString& text);
  // Paragraph alignment as the program numbers it (1 left, 2 centre, 3 right, 4 justify,
  // 5 distribute); 1 when not set.
  std::optional<int> alignment(int slide, quint32 shapeId) const;
  bool setAlignment(int slide, quint32 shapeId, int alignment);
  // Font size in points and Latin typeface of the first run; inherited values when unset
  // (18 and the theme's minor or, for titles, major font).
  std::optional<double> fontSize(int slide, quint32 shapeId) const;
  bool setFontSize(int slide, quint32 shapeId, double points);
  std::optional<QString> fontName(int slide, quint32 shapeId) const;
  bool setFontName(int slide, quint32 shapeId, const QString& typeface);
  std::optional<bool> wordWrap(int slide, quint32 shapeId) const;
  bool setWordWrap(int slide, quint32 shapeId, bool wrap);
  // True when the text box grows to fit its text (a:spAutoFit).
  bool autoFits(int slide, quint32 shapeId) const;

  // Writes the pending edits into the package and saves it atomically to `path`. Parts never
  // edited are copied byte for byte. On failure the file at `path` is as it was.
  ooxml::Status save(const QString& path);
  ooxml::Result<QByteArray> saveToBytes();
  bool isModified() const;

  struct Impl;

 private:
  explicit Document(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace morvane::ooxml::pptx
