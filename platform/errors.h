#pragma once
// Exceptions raised by handlers; the guard at each handler's entry turns them
// into the application's standard error box.
#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A field text that is not a whole number.
class ConvertError : public Error
{
public:
    explicit ConvertError(const QString &text);
};

// A file that cannot be opened, read or written; carries the system's text.
class IoError : public Error
{
public:
    using Error::Error;
    // The message for errno value `err`, e.g. "No such file or directory".
    static IoError fromErrno(int err);
    // The message naming the file: "Cannot create file X. Permission denied".
    static IoError cannotCreate(const QString &path, int err);
};

// Raised at a wait or message point once the program is ending; never shown.
class EndRequested : public std::runtime_error
{
public:
    EndRequested() : std::runtime_error("program ending") {}
};

} // namespace platform
