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
// kind tells what the database refused, the same whichever database it is; the store maps its
// own error codes to it (None where nothing was refused: a missing file, a malformed filter).
class EDatabaseError : public Exception
{
public:
    enum class Kind
    {
        None,
        DuplicateKey, // a key or unique index already holds the value
        Busy, // another copy holds the database (or a lock in it) longer than we wait
        Damaged, // the stored data cannot be read as a database of its kind
        ReadOnly, // the database or its files cannot be written by this account
        DiskFull,
        LostConnection, // the database is no longer reachable (a share gone, an I/O failure)
        Other,
    };

    explicit EDatabaseError(QString message, Kind kind = Kind::None)
        : Exception(std::move(message))
        , m_kind(kind)
    { }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
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
