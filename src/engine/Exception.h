#pragma once

#include <QString>

#include <exception>

// Base of every error the program raises with a message for the user. Windows never catch these
// piecemeal: the command guard shows message() in the standard error box.
class Exception : public std::exception
{
public:
    explicit Exception(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    { }

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An error of the table engine: a database that cannot be opened, a refused write, a held lock.
// resultCode is SQLite's extended result code where the database refused (0 otherwise).
class EDatabaseError : public Exception
{
public:
    explicit EDatabaseError(QString message, int resultCode = 0)
        : Exception(std::move(message))
        , m_resultCode(resultCode)
    { }
    int resultCode() const { return m_resultCode; }

private:
    int m_resultCode;
};

// A text that does not convert to the field's type ("'%s' is not a valid floating point value").
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// Floating point division by zero.
class EZeroDivide : public Exception
{
public:
    using Exception::Exception;
};

// Invalid floating point operation (0 / 0 and the like).
class EInvalidOp : public Exception
{
public:
    using Exception::Exception;
};
