#pragma once

#include "engine/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// A registry read or write that cannot be carried out: a missing value, a value of another type,
// a store that refuses the write.
class ERegistryException : public Exception
{
public:
    using Exception::Exception;
};

// The per-user store of layout settings: a tree of keys holding typed named values, kept in one
// INI file in the user's configuration directory and flushed at every change, so another copy of
// the program sees it at once. Key paths are written with backslashes
// ("\Software\Velbric\Tessorin"); a forward slash is an ordinary character of a key or value name.
// Key and value names are matched without regard to case. The empty value name is the key's default
// value.
class TQVRegistry
{
public:
    enum class ValueType
    {
        None,
        String,
        Integer,
        Binary
    };

    // Uses the store in rootPath().
    TQVRegistry();
    // Uses the given store file (tests, tools).
    explicit TQVRegistry(const QString &storeFile);
    ~TQVRegistry();

    TQVRegistry(const TQVRegistry &) = delete;
    TQVRegistry &operator=(const TQVRegistry &) = delete;

    // The folder of the per-user store; empty restores the user's configuration directory.
    static void setRootPath(const QString &folder);
    static QString rootPath();
    static QString defaultStoreFile();

    QString storeFile() const;

    // A path beginning with a backslash starts at the root; any other path is relative to the
    // current key. Opening a missing key without canCreate fails and leaves the current key as it
    // was. Creating is refused when the store cannot be written.
    bool openKey(const QString &key, bool canCreate);
    void closeKey();
    // The open key's path, without a leading backslash; empty at the root.
    QString currentPath() const;

    bool keyExists(const QString &key) const;
    // Removes the key with every key below it. False when it does not exist.
    bool deleteKey(const QString &key);
    QStringList keyNames() const;
    bool hasSubKeys() const;

    bool valueExists(const QString &name) const;
    ValueType valueType(const QString &name) const;
    QStringList valueNames() const;
    bool deleteValue(const QString &name);

    // A missing value gives empty text; a value of another type raises ERegistryException.
    QString readString(const QString &name) const;
    // These raise ERegistryException for a missing value or a value of another type.
    qint32 readInteger(const QString &name) const;
    bool readBool(const QString &name) const;
    QByteArray readBinaryData(const QString &name) const;

    // These raise ERegistryException when the store refuses the write.
    void writeString(const QString &name, const QString &value);
    void writeInteger(const QString &name, qint32 value);
    void writeBool(const QString &name, bool value);
    void writeBinaryData(const QString &name, const QByteArray &value);

private:
    QStringList resolveKey(const QString &key) const;
    QStringList existingPath(const QStringList &components) const;
    QString storedValueName(const QString &name) const;
    QString readRaw(const QString &name) const;
    void writeRaw(const QString &name, const QString &raw);
    void flush(const QString &name);
    QString groupOf(const QStringList &path) const;

    std::unique_ptr<QSettings> m_settings;
    // Stored (escaped) components of the open key.
    QStringList m_current;
};
