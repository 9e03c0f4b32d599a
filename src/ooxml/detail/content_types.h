// The [Content_Types].xml model: Defaults by extension and Overrides by part name, both
// matched case-insensitively.
#pragma once

#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>

namespace morvane::ooxml::detail {

class ContentTypes {
 public:
  // Reads [Content_Types].xml. Fails with BadXml/Unsafe (from parseXml) or BadXml when the
  // root is not <Types>. Messages name "[Content_Types].xml", not the file.
  static Result<ContentTypes> parse(const QByteArray& data, int maxDepth);
  // The rels and xml Defaults a new package starts with.
  static ContentTypes initial();

  // Override first, then the Default of the extension; empty when none.
  QString lookup(const QString& partName) const;
  QString defaultFor(const QString& extension) const;
  // Sets the part's type (an Override unless the Default already gives it). Returns true
  // when anything changed.
  bool set(const QString& partName, const QString& contentType);
  // Ensures a Default for `extension`; returns true when it was added.
  bool ensureDefault(const QString& extension, const QString& contentType);
  bool removeOverride(const QString& partName);

  // The part for these entries: the part read, with its entries' places, prefixes and
  // declarations kept, gone entries removed and new ones added; or a new part with a
  // default namespace.
  QByteArray serialize() const;

 private:
  // Keyed by case-folded extension / part name; values keep the spelling and the type.
  std::map<QString, std::pair<QString, QString>> m_defaults;
  std::map<QString, std::pair<QString, QString>> m_overrides;
  QByteArray m_source;  // the part as read; empty for a new package
};

}  // namespace morvane::ooxml::detail
