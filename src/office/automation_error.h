// AutomationError: the one failure any office call or runtime conversion may raise.
// It carries the error number and description the original runtime would have reported,
// so the message shown to the user "gives the error".
#pragma once

#include <QString>

#include <exception>
#include <string>

namespace morvane::office {

class AutomationError : public std::exception {
 public:
  // Well-known runtime error numbers.
  static constexpr int kOverflow = 6;
  static constexpr int kSubscriptOutOfRange = 9;
  static constexpr int kTypeMismatch = 13;
  static constexpr int kCantCreateObject = 429;
  static constexpr int kObjectRequired = 424;
  static constexpr int kNotSupported = 438;
  static constexpr int kMethodFailed = 1004;  // the office programs' generic "method failed"
  static constexpr int kInvalidPicture = 481;

  AutomationError(int number, QString description);

  static AutomationError overflow();
  static AutomationError typeMismatch();
  static AutomationError subscriptOutOfRange();
  static AutomationError cantCreateObject();
  static AutomationError notSupported();
  // A member call of an office object failed: "Method 'Member' of object 'Object' failed".
  static AutomationError methodFailed(const QString& member, const QString& object);
  // A copy could not make the object's picture (a chart part that cannot be read, a size no
  // picture can have): "Invalid picture: <reason>". The copy leaves the clipboard empty.
  static AutomationError invalidPicture(const QString& reason);

  bool isInvalidPicture() const { return m_number == kInvalidPicture; }

  int number() const { return m_number; }
  const QString& description() const { return m_description; }
  // "Run-time error 'N':" followed by the description, as the user sees it (CR line breaks).
  QString userText() const;
  const char* what() const noexcept override { return m_what.c_str(); }

 private:
  int m_number;
  QString m_description;
  std::string m_what;
};

}  // namespace morvane::office
