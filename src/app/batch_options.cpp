#include "app/batch_options.h"

#include "app/tool_session.h"
#include "mainwindow/user_form_obj.h"

#include <QFile>

#include <cstdio>

namespace morvane::app {

std::optional<QString> loadPlan(BatchOptions& options) {
  if (options.planFile.isEmpty()) return std::nullopt;
  QFile file(options.planFile);
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("%1: cannot read the plan: %2").arg(options.planFile, file.errorString());
  auto parsed = parsePlan(QString::fromUtf8(file.readAll()), options.planFile);
  if (auto* error = std::get_if<PlanError>(&parsed)) return error->message;
  options.plan = std::get<std::vector<PlanRow>>(parsed);
  return std::nullopt;
}

std::optional<QString> applyBatchOptions(mainwindow::UserFormObj& window, startup::Tool& tool,
                                         const BatchOptions& options) {
  // Every plan row must name an object before anything changes.
  std::vector<int> rows;
  for (const PlanRow& p : options.plan) {
    int match = -1;
    for (int r = 0; r < window.listCount(); ++r)
      if (window.listText(r, 0) == p.name && window.listText(r, 1) == p.sheet) match = r;
    if (match < 0)
      return QStringLiteral("%1:%2: no object named %3 on sheet %4")
          .arg(options.planFile).arg(p.line).arg(p.name, p.sheet);
    rows.push_back(match);
  }
  if (options.order) {
    const int index = *options.order == QLatin1String("name") ? 0 : *options.order == QLatin1String("sheet") ? 1 : 2;
    window.setComboChtSortIndex(index);
  }
  if (options.mode) {
    if (*options.mode == QLatin1String("title")) window.setOptionButton6(true);
    else window.setOptionButton8(true);
  }
  if (options.format == QLatin1String("svg")) {
    // Beyond the window's two formats: the window keeps its own, the selected row is copied
    // again as a change of format would.
    tool.pictureOverride = startup::PictureOverride::Svg;
    window.listCharts_Change();
  } else if (options.format) {
    window.setPasteFormat(*options.format == QLatin1String("emf") ? QStringLiteral("Enhanced Metafile")
                                                                  : QStringLiteral("Bitmap"));
  }
  // The order may have moved the rows: find each planned object again.
  for (const PlanRow& p : options.plan) {
    for (int r = 0; r < window.listCount(); ++r) {
      if (window.listText(r, 0) != p.name || window.listText(r, 1) != p.sheet) continue;
      if (p.include) window.setListText(r, 2, *p.include ? QStringLiteral("Y") : QStringLiteral("N"));
      if (p.slide) window.setListText(r, 4, *p.slide);
      if (p.title) window.setListText(r, 5, *p.title);
      if (p.pasteAs) window.setListText(r, 6, *p.pasteAs);
    }
  }
  return std::nullopt;
}

bool applyOptionsAndPress(ToolSession& run, const BatchOptions& options,
                          const std::function<void(mainwindow::UserFormObj&)>& press) {
  auto* window = run.mainWindow();
  std::optional<QString> problem;
  if (!run.run([&] { problem = applyBatchOptions(*window, run.tool(), options); })) return false;
  if (problem) {
    printBatchError(*problem);
    return false;
  }
  return run.run([&] { press(*window); });
}

void printBatchError(const QString& text) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace morvane::app
