#include "ooxml/xlsx/workbook_model.h"

#include "ooxml/xlsx/formula_reference.h"

namespace morvane::ooxml::xlsx {

QString DefinedName::shortName() const {
  return isBuiltIn() ? name.mid(int(qstrlen("_xlnm."))) : name;
}

int WorkbookModel::sheetIndex(const QString& name) const {
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
  }
  return -1;
}

QString WorkbookModel::reportedName(const DefinedName& name) const {
  const QString shortName = name.shortName();
  if (!name.localSheetId || *name.localSheetId < 0 || *name.localSheetId >= int(sheets.size()))
    return shortName;
  return quoteSheetName(sheets[size_t(*name.localSheetId)].name) + QLatin1Char('!') + shortName;
}

}  // namespace morvane::ooxml::xlsx
