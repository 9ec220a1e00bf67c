#pragma once
// Errors are exceptions carrying the exact text a user is shown; the
// application-wide handler shows message() alone.
#include <QString>
#include <stdexcept>

namespace lumetta {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A text that does not convert to a number, time or date.
class ConvertError : public Error {
public:
    using Error::Error;
};

// A file that cannot be opened, created or written.
class FileError : public Error {
public:
    using Error::Error;
};

// A settings value of the wrong type, or a store that cannot be written.
class RegistryError : public Error {
public:
    using Error::Error;
};

} // namespace lumetta
