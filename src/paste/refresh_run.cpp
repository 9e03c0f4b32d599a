#include "paste/refresh_run.h"

#include <algorithm>
#include <optional>
#include <set>

#include "office/automation_error.h"
#include "paste/paste_steps.h"
#include "paste/source_label.h"
#include "registry/registry.h"

namespace morvane::paste {

using office::SourceRecord;

namespace {

struct Tagged {
  int slide = 0;
  std::shared_ptr<ppt::Shape> shape;
  QString name;
  SourceRecord record;
  bool isLabel() const { return record.format == QLatin1String(SourceRecord::kLabel); }
};

bool sameFile(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

std::vector<Tagged> taggedShapes(ppt::Presentation& presentation, const QString& workbookName) {
  std::vector<Tagged> out;
  const int slides = presentation.slidesCount();
  for (int s = 1; s <= slides; ++s) {
    const auto shapes = presentation.slide(s)->shapes();
    const int count = shapes->count();
    for (int i = 1; i <= count; ++i) {
      auto shape = shapes->item(i);
      auto record =
          SourceRecord::fromCompact(shape->tags()->item(QString::fromLatin1(ppt::kSourceTag)));
      if (!record || !sameFile(record->workbook, workbookName)) continue;
      // A name that holds the record is no name to show a person: the shape's place is.
      const QString name = shape->name();
      out.push_back({s, shape,
                     SourceRecord::fromCompact(name) ? QStringLiteral("shape %1").arg(i)
                                                     : QLatin1Char('"') + name + QLatin1Char('"'),
                     *record});
    }
  }
  return out;
}

// An object of the workbook found again for a record.
struct Found {
  std::shared_ptr<excel::Chart> chart;  // embedded charts and chart sheets
  std::shared_ptr<excel::Range> range;  // named ranges
  QString listName;                     // as the list names it
  QString sheet;
};

struct EmbeddedChart {
  QString sheet;
  QString name;
  QString key;
  std::shared_ptr<excel::ChartObject> object;
};

class Finder {
 public:
  Finder(excel::Workbook& workbook, const std::vector<Tagged>& tagged) : m_workbook(workbook) {
    for (const auto& sheet : workbook.sheets()) {
      if (sheet->type() != excel::SheetType::Worksheet) continue;
      for (const auto& object : sheet->chartObjects())
        m_charts.push_back({sheet->name(), object->name(), object->stableKey(), object});
    }
    // A key some shape finds its chart by is taken: no other shape gets that chart by name.
    for (const Tagged& t : tagged)
      if (!t.record.key.isEmpty() && byKey(t.record.key)) m_claimed.insert(t.record.key);
  }

  std::optional<Found> find(const SourceRecord& record) {
    switch (record.kind) {
      case SourceRecord::Kind::Chart:
        return embedded(record);
      case SourceRecord::Kind::ChartSheet:
        return chartSheet(record.sheet);
      case SourceRecord::Kind::Range:
        return namedRange(record);
    }
    return std::nullopt;
  }

 private:
  const EmbeddedChart* byKey(const QString& key) const {
    auto it = std::find_if(m_charts.begin(), m_charts.end(),
                           [&](const EmbeddedChart& c) { return c.key == key; });
    return it == m_charts.end() ? nullptr : &*it;
  }

  std::optional<Found> embedded(const SourceRecord& record) {
    const EmbeddedChart* chart = record.key.isEmpty() ? nullptr : byKey(record.key);
    if (!chart) {
      auto it = std::find_if(m_charts.begin(), m_charts.end(), [&](const EmbeddedChart& c) {
        return c.name == record.name && c.sheet == record.sheet && !m_claimed.count(c.key);
      });
      if (it != m_charts.end()) chart = &*it;
    }
    if (!chart) return std::nullopt;
    return Found{chart->object->chart(), nullptr, chart->name, chart->sheet};
  }

  std::optional<Found> chartSheet(const QString& name) {
    for (const auto& sheet : m_workbook.sheets())
      if (sheet->type() == excel::SheetType::ChartSheet && sheet->name() == name)
        return Found{sheet->chart(), nullptr, registry::kChartSheetMarker, name};
    return std::nullopt;
  }

  std::optional<Found> namedRange(const SourceRecord& record) {
    try {
      auto range = m_workbook.name(record.name)->refersToRange();
      if (range->worksheet()->name() != record.sheet) return std::nullopt;
      return Found{nullptr, range, record.name, record.sheet};
    } catch (const office::AutomationError&) {
      return std::nullopt;  // no such name, or it names no range any more
    }
  }

  excel::Workbook& m_workbook;
  std::vector<EmbeddedChart> m_charts;
  std::set<QString> m_claimed;
};

// Puts the object on the clipboard in `format` and returns the paste type that takes it.
int copy(const Found& found, const QString& format) {
  if (format == QLatin1String(SourceRecord::kObject)) {
    if (found.chart)
      found.chart->chartAreaCopy();
    else
      found.range->copy();
    return ppt::ppPasteOLEObject;
  }
  const bool svg = format == QLatin1String(SourceRecord::kSvg);
  const bool bitmap = format == QLatin1String(SourceRecord::kBitmap);
  const int picture = svg ? excel::xlSvg : bitmap ? excel::xlBitmap : excel::xlPicture;
  if (found.chart)
    found.chart->copyPicture(excel::xlScreen, excel::xlScreen, picture);
  else
    found.range->copyPicture(excel::xlScreen, picture);
  return svg ? ppt::ppPasteSVG : bitmap ? ppt::ppPasteBitmap : ppt::ppPasteEnhancedMetafile;
}

excel::PictureUse pictureUse(const QString& format) {
  if (format == QLatin1String(SourceRecord::kSvg)) return excel::PictureUse::Svg;
  if (format == QLatin1String(SourceRecord::kBitmap)) return excel::PictureUse::EncodedBitmap;
  return excel::PictureUse::Metafile;
}

bool knownFormat(const QString& format) {
  for (const char* f :
       {SourceRecord::kBitmap, SourceRecord::kEmf, SourceRecord::kSvg, SourceRecord::kObject})
    if (format == QLatin1String(f)) return true;
  return false;
}

// The record a refreshed label carries: the object as it is now, in this workbook.
SourceRecord labelRecord(SourceRecord record, const QString& workbookName, const Found& found) {
  record.workbook = workbookName;
  if (record.kind != SourceRecord::Kind::ChartSheet) record.name = found.listName;
  record.sheet = found.sheet;
  return record;
}

QString objectText(const SourceRecord& r) {
  const QString name =
      r.kind == SourceRecord::Kind::ChartSheet ? QStringLiteral("chart sheet") : r.name;
  return QStringLiteral("%1 (%2)").arg(name, r.sheet);
}

}  // namespace

int RefreshReport::count(RefreshItem::Outcome outcome) const {
  return int(std::count_if(items.begin(), items.end(),
                           [&](const RefreshItem& i) { return i.outcome == outcome; }));
}

bool RefreshReport::reportedAnything() const {
  return count(RefreshItem::Outcome::Gone) || count(RefreshItem::Outcome::Failed) ||
         !notInDeck.empty();
}

int countTaggedObjects(ppt::Presentation& presentation, const QString& workbookName) {
  const auto tagged = taggedShapes(presentation, workbookName);
  return int(
      std::count_if(tagged.begin(), tagged.end(), [](const Tagged& t) { return !t.isLabel(); }));
}

RefreshReport RefreshDeck(excel::Workbook& workbook, ppt::Presentation& presentation,
                          const RefreshRequest& request) {
  const QString workbookName = workbook.name();
  const QString taggedWith = request.taggedWith.isEmpty() ? workbookName : request.taggedWith;
  std::vector<Tagged> tagged = taggedShapes(presentation, taggedWith);
  // Objects first, then their labels, so a label reads the object as it was found.
  std::stable_partition(tagged.begin(), tagged.end(), [](const Tagged& t) { return !t.isLabel(); });
  Finder finder(workbook, tagged);
  std::vector<std::optional<Found>> found;
  for (const Tagged& t : tagged) found.push_back(finder.find(t.record));
  // The workbook draws ahead the pictures of the format most shapes were pasted in (the
  // first picture's); the others are drawn when copied.
  std::optional<PictureLookAhead> ahead;
  const auto first = std::find_if(tagged.begin(), tagged.end(), [](const Tagged& t) {
    return !t.isLabel() && t.record.format != QLatin1String(SourceRecord::kObject);
  });
  if (!request.dryRun && first != tagged.end()) {
    std::vector<std::pair<QString, QString>> rows;
    for (size_t i = 0; i < tagged.size(); ++i)
      if (found[i] && tagged[i].record.format == first->record.format)
        rows.emplace_back(found[i]->listName, found[i]->sheet);
    ahead.emplace(&workbook, rows, pictureUse(first->record.format));
  }
  RefreshReport report;
  std::set<std::pair<QString, QString>> shown;  // (list name, sheet) of the objects on slides

  for (size_t i = 0; i < tagged.size(); ++i) {
    if (request.onProgress && !request.onProgress(int(i), int(tagged.size()))) {
      report.stopped = true;
      break;
    }
    const Tagged& t = tagged[i];
    RefreshItem item{t.slide, t.name, t.record, RefreshItem::Outcome::Refreshed, {}};
    const std::optional<Found>& object = found[i];
    if (!object) {
      // A label whose object is gone says nothing new: the object's own line reports it.
      if (t.isLabel()) continue;
      item.outcome = RefreshItem::Outcome::Gone;
      item.detail = QStringLiteral("no longer in %1; left as it is").arg(workbookName);
      report.items.push_back(item);
      continue;
    }
    try {
      if (t.isLabel()) {
        if (!request.labels) continue;
        const QString text = labelText(workbook.fullName(), object->listName, object->sheet);
        const auto range = t.shape->textFrame()->textRange();
        if (range->text() == text && sameFile(t.record.workbook, workbookName)) continue;
        item.detail = QStringLiteral("label text \"%1\"").arg(text);
        if (request.dryRun) {
          item.outcome = RefreshItem::Outcome::WouldRefresh;
        } else {
          range->setText(text);
          t.shape->tags()->add(QString::fromLatin1(ppt::kSourceTag),
                               labelRecord(t.record, workbookName, *object).compact());
        }
      } else if (!knownFormat(t.record.format)) {
        item.outcome = RefreshItem::Outcome::Failed;
        item.detail =
            QStringLiteral("pasted as \"%1\", which this version cannot draw").arg(t.record.format);
      } else {
        shown.insert({object->listName, object->sheet});
        item.detail = QStringLiteral("redrawn as %1").arg(t.record.format);
        if (request.dryRun) {
          item.outcome = RefreshItem::Outcome::WouldRefresh;
        } else {
          t.shape->replaceWithClipboard(copy(*object, t.record.format));
        }
      }
    } catch (const office::AutomationError& error) {
      item.outcome = RefreshItem::Outcome::Failed;
      item.detail = error.userText();
    }
    report.items.push_back(item);
  }
  if (!report.stopped) {
    for (const ListedObject& object : request.listed)
      if (!shown.count({object.name, object.sheet})) report.notInDeck.push_back(object);
  }
  return report;
}

std::vector<QString> describe(const RefreshReport& report, bool reportsOnly) {
  std::vector<QString> lines;
  for (const RefreshItem& item : report.items) {
    if (reportsOnly && (item.outcome == RefreshItem::Outcome::Refreshed ||
                        item.outcome == RefreshItem::Outcome::WouldRefresh))
      continue;
    const QString where =
        QStringLiteral("slide %1, %2: %3").arg(item.slide).arg(item.shape, objectText(item.record));
    // The detail says what was done or why not; a plan and a failure say which they are.
    const QString joint =
        item.outcome == RefreshItem::Outcome::WouldRefresh ? QStringLiteral(", would be ")
        : item.outcome == RefreshItem::Outcome::Failed     ? QStringLiteral(", not refreshed: ")
                                                           : QStringLiteral(", ");
    lines.push_back(where + joint + item.detail);
  }
  for (const ListedObject& object : report.notInDeck) {
    const QString name =
        object.name == registry::kChartSheetMarker ? QStringLiteral("chart sheet") : object.name;
    lines.push_back(QStringLiteral("%1 (%2): not in the deck").arg(name, object.sheet));
  }
  return lines;
}

}  // namespace morvane::paste
