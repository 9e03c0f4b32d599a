// Workbook.prefetchPictures: the objects a run will copy, found as its copies find them, handed
// to the host's pool to be drawn ahead.
#include "hosts/workbook/objects.h"
#include "hosts/workbook/picture_pool.h"
#include "office/automation_error.h"

namespace morvane::hosts::workbook {

namespace {

int formatsFor(excel::PictureUse use) {
  switch (use) {
    case excel::PictureUse::Metafile:
      return kOfferEmf;
    case excel::PictureUse::Bitmap:
      return kOfferBitmap;
    case excel::PictureUse::EncodedBitmap:
      return kOfferBitmap | kEncodePng;
    case excel::PictureUse::Svg:
      return kOfferSvg | kOfferBitmap | kEncodePng;
    case excel::PictureUse::Jpeg:
      return kOfferBitmap | kEncodeJpeg;
  }
  return kOfferEmf;
}

// The chart or the range the hint names, as the copy of its list row reaches it.
std::optional<PicturePool::Ahead> aheadFor(const HostPtr& host, excel::Workbook& workbook,
                                           const excel::PictureHint& hint) {
  using Kind = excel::PictureHint::Kind;
  if (hint.kind == Kind::Name) {
    const auto range =
        std::dynamic_pointer_cast<HostRange>(workbook.name(hint.name)->refersToRange());
    if (!range) return std::nullopt;
    const int sheet = range->sheetIndex();
    const auto area = range->area();
    return PicturePool::Ahead{
        rangeKey(sheet, area.firstRow, area.firstColumn, area.lastRow, area.lastColumn),
        [host, sheet, area]() -> std::function<BuiltPicture()> {
          auto built = buildRangePicture(*host, sheet, area.firstRow, area.firstColumn,
                                         area.lastRow, area.lastColumn);
          return [built = std::move(built)] { return built; };
        }};
  }
  const auto chart = std::dynamic_pointer_cast<HostChart>(
      hint.kind == Kind::ChartSheet
          ? workbook.chart(hint.sheet)
          : workbook.worksheet(hint.sheet)->chartObject(hint.name)->chart());
  if (!chart) return std::nullopt;
  const int sheet = chart->sheetIndex(), object = chart->objectIndex();
  return PicturePool::Ahead{
      chartKey(sheet, object), [host, sheet, object]() -> std::function<BuiltPicture()> {
        auto inputs = chartInputs(*host, sheet, object, QStringLiteral("Copy"),
                                  QStringLiteral("ChartArea"), host->snapshot());
        return [inputs = std::move(inputs)] { return buildChartPicture(inputs); };
      }};
}

}  // namespace

void HostWorkbook::prefetchPictures(const std::vector<excel::PictureHint>& objects,
                                    excel::PictureUse use) {
  std::vector<PicturePool::Ahead> pictures;
  for (const auto& hint : objects) {
    try {
      if (auto ahead = aheadFor(m_host, *this, hint)) pictures.push_back(std::move(*ahead));
    } catch (const office::AutomationError&) {
      // Not drawn ahead: its copy fails as it always would.
    }
  }
  m_host->pictures().announce(std::move(pictures), formatsFor(use));
}

}  // namespace morvane::hosts::workbook
