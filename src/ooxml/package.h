// Package: an OPC package (.xlsx, .pptx) held in memory as part name -> bytes, with its
// content types and relationships. Untouched parts keep their original compressed bytes and
// are copied verbatim on save. Part names are absolute ("/xl/workbook.xml") and compared
// case-insensitively; relationship types are compared modulo the strict/transitional
// namespace, so readers work on both conformance classes.
#pragma once

#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace ooxml {

// Bounds that keep hostile input cheap. Exceeding one fails the read with Error::Unsafe.
struct Limits {
  qint64 maxParts = 10000;
  qint64 maxPartSize = 256ll << 20;      // inflated bytes of one part
  qint64 maxTotalSize = 1024ll << 20;    // inflated bytes of all parts read
  qint64 maxCompressionRatio = 1000;     // inflated / compressed, for parts over 1 MiB
  int maxXmlDepth = 256;
};

struct Relationship {
  QString id;
  QString type;        // as written in the file
  QString target;      // as written in the file
  bool external = false;
  // Absolute part name the target resolves to against its source part; empty when external.
  QString targetPart;
};

// Relationship types, transitional spelling; lookups also match the strict spelling.
namespace reltype {
inline constexpr char kOfficeDocument[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
// Builds "http://schemas.openxmlformats.org/officeDocument/2006/relationships/<suffix>".
QString officeRel(const char* suffix);
}  // namespace reltype

class Package {
 public:
  // Opens and indexes a package file. Fails with NotFound, Unreadable, NotAPackage (not a
  // zip, truncated, encrypted members, no [Content_Types].xml) or Unsafe (limits, member
  // names with ".." or absolute paths). The message names the file.
  static Result<std::unique_ptr<Package>> open(const QString& path, const Limits& limits = {});
  static Result<std::unique_ptr<Package>> openBytes(const QByteArray& data,
                                                    const QString& displayName,
                                                    const Limits& limits = {});
  // A new, empty package (content types with the rels and xml defaults only).
  static std::unique_ptr<Package> create();
  virtual ~Package() = default;

  const QString& displayName() const;
  const Limits& limits() const;
  // True when the main relationships use the strict (ISO/IEC 29500 strict) namespaces.
  bool isStrict() const;

  std::vector<QString> partNames() const;
  bool hasPart(const QString& partName) const;
  // The part's bytes, inflated. Fails with NotFound, or Unsafe past the limits.
  Result<QByteArray> read(const QString& partName) const;
  // The content type from an Override or the extension's Default; empty when none.
  QString contentType(const QString& partName) const;

  // Relationships of a part ("/" for the package's own), in file order; empty when the part
  // has no .rels part. External targets are never resolved to parts.
  std::vector<Relationship> relationships(const QString& sourcePart) const;
  std::optional<Relationship> relationship(const QString& sourcePart, const QString& id) const;
  // Those whose type equals `type` (either spelling).
  std::vector<Relationship> relationshipsOfType(const QString& sourcePart,
                                                const QString& type) const;
  // Absolute part name of `target` as seen from `sourcePart` ("../drawings/d1.xml").
  static QString resolveTarget(const QString& sourcePart, const QString& target);
  // Relative target from `sourcePart` to `targetPart`, as office programs write them.
  static QString relativeTarget(const QString& sourcePart, const QString& targetPart);

  // Editing. Writes or replaces a part and sets its content type (Override, or none when
  // the Default for its extension already matches).
  void write(const QString& partName, const QByteArray& data, const QString& contentType);
  void remove(const QString& partName);
  // Adds a relationship with a fresh id ("rId<n>") and returns that id. `type` is written
  // in the package's own conformance class (strict packages get the strict spelling).
  QString addRelationship(const QString& sourcePart, const QString& type,
                          const QString& targetPart);
  bool removeRelationship(const QString& sourcePart, const QString& id);
  // A part name not yet used, from a pattern with one %1 ("/ppt/slides/slide%1.xml").
  QString uniquePartName(const QString& pattern) const;
  // True when anything was written or removed since open.
  bool isModified() const;

  // Writes the package to `path` atomically (temporary file in the same folder, flushed,
  // renamed). Parts never written are copied byte for byte. On failure the old file at
  // `path` is untouched and the error is Unwritable.
  Status save(const QString& path) const;
  // The whole package as zip bytes (same rules as save).
  Result<QByteArray> saveToBytes() const;

 protected:
  Package() = default;
};

}  // namespace ooxml
