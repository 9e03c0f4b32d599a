#include "office/automation_error.h"

namespace morvane::office {

AutomationError::AutomationError(int number, QString description)
    : m_number(number),
      m_description(std::move(description)),
      m_what(QStringLiteral("Automation error %1: %2").arg(number).arg(m_description).toStdString()) {}

AutomationError AutomationError::overflow() { return {kOverflow, QStringLiteral("Overflow")}; }

AutomationError AutomationError::typeMismatch() {
  return {kTypeMismatch, QStringLiteral("Type mismatch")};
}

AutomationError AutomationError::subscriptOutOfRange() {
  return {kSubscriptOutOfRange, QStringLiteral("Subscript out of range")};
}

AutomationError AutomationError::cantCreateObject() {
  return {kCantCreateObject, QStringLiteral("ActiveX component can't create object")};
}

AutomationError AutomationError::notSupported() {
  return {kNotSupported, QStringLiteral("Object doesn't support this property or method")};
}

AutomationError AutomationError::methodFailed(const QString& member, const QString& object) {
  return {kMethodFailed, QStringLiteral("Method '%1' of object '%2' failed").arg(member, object)};
}

AutomationError AutomationError::invalidPicture(const QString& reason) {
  return {kInvalidPicture, QStringLiteral("Invalid picture: %1").arg(reason)};
}

QString AutomationError::userText() const {
  return QStringLiteral("Run-time error '%1':\r\r%2").arg(m_number).arg(m_description);
}

}  // namespace morvane::office
