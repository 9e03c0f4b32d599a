#include "app/deck_parts.h"

#include <QFile>
#include <QRegularExpression>

using namespace morvane;

namespace morvane::apptest {

namespace {

int occurrences(const QByteArray& xml, const QRegularExpression& pattern) {
  int n = 0;
  for (auto it = pattern.globalMatch(QString::fromUtf8(xml)); it.hasNext(); it.next()) ++n;
  return n;
}

// Every r:id attribute of the elements `pattern` matches, in document order.
QStringList relationshipIds(const QByteArray& xml, const QRegularExpression& pattern) {
  QStringList ids;
  for (auto it = pattern.globalMatch(QString::fromUtf8(xml)); it.hasNext();)
    ids << it.next().captured(1);
  return ids;
}

}  // namespace

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

DeckParts readDeck(const QString& path) {
  DeckParts deck;
  auto opened = ooxml::Package::open(path);
  if (!opened) {
    deck.error = opened.error().message;
    return deck;
  }
  deck.package = std::move(opened.value());
  const QString main = QStringLiteral("/ppt/presentation.xml");
  auto xml = deck.package->read(main);
  if (!xml) {
    deck.error = xml.error().message;
    return deck;
  }
  static const QRegularExpression slideId(QStringLiteral("<p:sldId\\b[^>]*\\br:id=\"([^\"]+)\""));
  for (const QString& id : relationshipIds(*xml, slideId)) {
    const auto rel = deck.package->relationship(main, id);
    if (!rel || rel->targetPart.isEmpty()) {
      deck.error = QStringLiteral("slide relationship %1 does not resolve").arg(id);
      return deck;
    }
    deck.slides.push_back(rel->targetPart);
  }
  return deck;
}

QByteArray DeckParts::slideXml(int number) const {
  if (!package || number < 1 || number > slideCount()) return {};
  auto xml = package->read(slides[number - 1]);
  return xml ? *xml : QByteArray();
}

int DeckParts::pictureCount(int number) const {
  static const QRegularExpression pic(QStringLiteral("<p:pic\\b"));
  return occurrences(slideXml(number), pic) - embeddedObjectCount(number);
}

int DeckParts::embeddedObjectCount(int number) const {
  static const QRegularExpression ole(QStringLiteral("<p:oleObj\\b"));
  return occurrences(slideXml(number), ole);
}

std::vector<QString> DeckParts::embeddedParts(int number) const {
  static const QRegularExpression ole(QStringLiteral("<p:oleObj\\b[^>]*\\br:id=\"([^\"]+)\""));
  std::vector<QString> parts;
  for (const QString& id : relationshipIds(slideXml(number), ole)) {
    const auto rel = package->relationship(slides[number - 1], id);
    parts.push_back(rel ? rel->targetPart : QString());
  }
  return parts;
}

}  // namespace morvane::apptest
