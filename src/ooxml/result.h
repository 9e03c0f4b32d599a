// Result of an ooxml operation: a value, or an error with a code and a message that names
// the file and the problem. Nothing in ooxml throws.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace morvane::ooxml {

struct Error {
  enum class Code {
    NotFound,     // the file or part does not exist
    Unreadable,   // I/O failure
    NotAPackage,  // not a zip, truncated, corrupt, encrypted
    Unsafe,       // limits exceeded, paths escaping the package, DTDs
    BadXml,       // malformed XML, or XML that is not what the part must hold
    Missing,      // a required part or element is absent
    Unwritable,   // the output cannot be written
  };
  Code code;
  QString message;
};

template <typename T>
class Result {
 public:
  Result(T value) : m_data(std::move(value)) {}
  Result(Error error) : m_data(std::move(error)) {}
  bool ok() const { return m_data.index() == 0; }
  explicit operator bool() const { return ok(); }
  // REQUIRES: ok().
  T& value() { return std::get<0>(m_data); }
  const T& value() const { return std::get<0>(m_data); }
  T& operator*() { return value(); }
  T* operator->() { return &value(); }
  // REQUIRES: !ok().
  const Error& error() const { return std::get<1>(m_data); }

 private:
  std::variant<T, Error> m_data;
};

// A Result without a value.
class Status {
 public:
  Status() = default;
  Status(Error error) : m_error(std::move(error)) {}
  bool ok() const { return !m_error.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *m_error; }

 private:
  std::optional<Error> m_error;
};

}  // namespace morvane::ooxml
