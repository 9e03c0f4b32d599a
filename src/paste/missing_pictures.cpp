#include "paste/missing_pictures.h"

namespace morvane::paste {

QString missingPicturesMessage(const std::vector<MissingPicture>& missing, const QString& place) {
  QString text =
      QStringLiteral("The picture of %1 object(s) could not be made; their %2 have no picture:\r")
          .arg(missing.size())
          .arg(place);
  for (const MissingPicture& m : missing)
    text += QStringLiteral("\r%1 (%2): %3").arg(m.name, m.sheet, m.reason);
  return text;
}

}  // namespace morvane::paste
