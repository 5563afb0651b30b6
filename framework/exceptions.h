#pragma once

#include <exception>
#include <string>

namespace velkor {

// Root of every error the program raises itself; the error box shows what().
class Exception : public std::exception
{
public:
    explicit Exception(std::string message)
        : message_(std::move(message))
    {
    }

    [[nodiscard]] const char *what() const noexcept override { return message_.c_str(); }
    [[nodiscard]] const std::string &Message() const noexcept { return message_; }

private:
    std::string message_;
};

// Errors of the generic data-access layer.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// A text that is not the number or value it has to be.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// A variant that cannot take the type asked of it.
class EVariantError : public Exception
{
public:
    using Exception::Exception;
};

// A list asked to hold what it may not, such as a second item of the same name.
class EStringListError : public Exception
{
public:
    using Exception::Exception;
};

// A registry key or value that cannot be read or written as asked.
class ERegistryException : public Exception
{
public:
    using Exception::Exception;
};

// An operating-system call that failed, with its error number.
class EOSError : public Exception
{
public:
    EOSError(int errorCode, std::string message)
        : Exception(std::move(message))
        , errorCode_(errorCode)
    {
    }
    [[nodiscard]] int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

} // namespace velkor
