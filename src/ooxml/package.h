// Package: an OPC package (.xlsx, .pptx) held in memory as part name -> bytes, with its
// content types and relationships. Untouched parts keep their original compressed bytes and
// are copied verbatim on save. Part names are absolute ("/xl/workbook.xml") and compared
// case-insensitively; relationship types are compared modulo the strict/transitional
// namespace, so readers work on both conformance classes.
// Not thread-safe, const calls included (read() keeps the inflation account); use one
// package from one thread at a time.
#pragma once

#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace morvane::ooxml {

// Bounds that keep hostile input cheap. Exceeding one fails with Error::Unsafe: maxParts
// at open, the size limits when a part is read (open reads [Content_Types].xml and every
// .rels part), so a large part nobody reads (a video in a deck) never stops a package.
struct Limits {
  qint64 maxParts = 10000;
  qint64 maxPartSize = 256ll << 20;    // inflated bytes of one part
  qint64 maxTotalSize = 1024ll << 20;  // inflated bytes of all distinct parts read; also
                                       // the largest package file open() accepts
  qint64 maxCompressionRatio = 1000;   // inflated / compressed, for parts over 1 MiB
  int maxXmlDepth = 256;
};

struct Relationship {
  QString id;
  QString type;    // as written in the file
  QString target;  // as written in the file
  bool external = false;
  // Absolute part name the target resolves to against its source part; empty when external
  // or when the target does not name a part (it climbs above the root, or is a URL).
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
  // Opens and indexes a package file, reading [Content_Types].xml and every .rels part.
  // Fails with NotFound, Unreadable, NotAPackage (not a zip, truncated, encrypted members,
  // two members whose names differ only in case, no [Content_Types].xml), Unsafe (limits,
  // member names with ".." or absolute paths, DTDs) or BadXml (a malformed content types
  // or .rels part). The message names the file (`displayName` for openBytes).
  static Result<std::unique_ptr<Package>> open(const QString& path, const Limits& limits = {});
  static Result<std::unique_ptr<Package>> openBytes(const QByteArray& data,
                                                    const QString& displayName,
                                                    const Limits& limits = {});
  // A new, empty package (content types with the rels and xml defaults only).
  // `displayName` names it in messages.
  static std::unique_ptr<Package> create(const QString& displayName = QString());
  virtual ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  const QString& displayName() const;
  const Limits& limits() const;
  // True when the main relationships use the strict (ISO/IEC 29500 strict) namespaces.
  bool isStrict() const;

  // Every part, .rels parts included, in archive order (parts added since open last).
  // [Content_Types].xml is not a part.
  std::vector<QString> partNames() const;
  bool hasPart(const QString& partName) const;
  // The part's bytes, inflated. Fails with NotFound, Unsafe past the limits, or
  // NotAPackage when the member is damaged (bad data, CRC, size other than declared).
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
  // Absolute part name of `target` as seen from `sourcePart` ("../drawings/d1.xml"), percent-
  // decoded; empty when it names no part (climbs above the root, URL, empty).
  static QString resolveTarget(const QString& sourcePart, const QString& target);
  // Relative target from `sourcePart` to `targetPart`, as office programs write them
  // (percent-encoding spaces and the like). REQUIRES: targetPart starts with "/".
  static QString relativeTarget(const QString& sourcePart, const QString& targetPart);

  // Editing. Writes or replaces a part and sets its content type (Override, or none when
  // the Default for its extension already matches; an empty `contentType` leaves the
  // content types alone). Writing a .rels part replaces that part's relationships.
  // Fails, changing nothing, with Unsafe for a name that is not a part name ("..",
  // relative, "[Content_Types].xml") and BadXml for a .rels part that does not parse.
  Status write(const QString& partName, const QByteArray& data, const QString& contentType);
  // Removes a part, its Override and its own .rels part. Relationships that point at it
  // stay: callers remove them (removeRelationship).
  void remove(const QString& partName);
  // Adds a relationship with a fresh id ("rId<n>") and returns that id. `type` is written
  // in the package's own conformance class (strict packages get the strict spelling); the
  // target is written relative to `sourcePart`. The source's .rels part is regenerated.
  // REQUIRES: targetPart is a part name (it need not exist yet).
  QString addRelationship(const QString& sourcePart, const QString& type,
                          const QString& targetPart);
  // Removes relationship `id`; false when there is none. A .rels part left empty is removed.
  bool removeRelationship(const QString& sourcePart, const QString& id);
  // A part name not yet used, from a pattern with one %1 ("/ppt/slides/slide%1.xml").
  QString uniquePartName(const QString& pattern) const;
  // True when anything was written or removed since open.
  bool isModified() const;

  // Writes the package to `path` atomically (temporary file in the same folder, flushed,
  // renamed). Parts never written are copied byte for byte (compressed data, method and
  // CRC); written parts are deflated, PNG, JPEG and GIF images stored as they are;
  // [Content_Types].xml comes first and is regenerated only when content types changed. On
  // failure the old file at `path` is untouched and the error is Unwritable, naming `path`.
  Status save(const QString& path) const;
  // The whole package as zip bytes (same rules as save).
  Result<QByteArray> saveToBytes() const;

  // Opaque state, defined in detail/package_data.h.
  struct Data;

 protected:
  Package();

 private:
  std::unique_ptr<Data> d;
};

}  // namespace morvane::ooxml
