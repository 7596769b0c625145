#include "TQVRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// Marks a key as existing even while it holds no value; no escaped name can take this form.
const QString KeyMarker = u"%key"_s;
// Stands for the key's default value (the empty name), which QSettings cannot store.
const QString DefaultValue = u"%default"_s;

const QString StringTag = u"sz"_s;
const QString IntegerTag = u"dword"_s;
const QString BinaryTag = u"binary"_s;

QString &rootPathOverride()
{
    static QString path;
    return path;
}

// QSettings takes both slashes as group separators, so they (and the escape character itself)
// are percent-encoded: "Velbric/UnitDesc" stays one key.
QString escaped(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar ch : name) {
        if (ch == u'%')
            out += u"%25"_s;
        else if (ch == u'/')
            out += u"%2F"_s;
        else if (ch == u'\\')
            out += u"%5C"_s;
        else
            out += ch;
    }
    return out;
}

QString unescaped(const QString &stored)
{
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView code = QStringView(stored).mid(i, 3);
        if (code == u"%25") {
            out += u'%';
            i += 2;
        } else if (code.compare(u"%2F", Qt::CaseInsensitive) == 0) {
            out += u'/';
            i += 2;
        } else if (code.compare(u"%5C", Qt::CaseInsensitive) == 0) {
            out += u'\\';
            i += 2;
        } else {
            out += stored.at(i);
        }
    }
    return out;
}

QStringList splitKeyPath(const QString &key)
{
    return key.split(u'\\', Qt::SkipEmptyParts);
}

QString findChild(const QStringList &storedNames, const QString &plainName)
{
    for (const QString &stored : storedNames) {
        if (unescaped(stored).compare(plainName, Qt::CaseInsensitive) == 0)
            return stored;
    }
    return {};
}

ERegistryException wrongType(const QString &name)
{
    return ERegistryException(u"Invalid data type for '%1'"_s.arg(name));
}

} // namespace

TQVRegistry::TQVRegistry()
    : TQVRegistry(defaultStoreFile())
{ }

TQVRegistry::TQVRegistry(const QString &storeFile)
{
    QDir().mkpath(QFileInfo(storeFile).absolutePath());
    m_settings = std::make_unique<QSettings>(storeFile, QSettings::IniFormat);
}

TQVRegistry::~TQVRegistry()
{
    m_settings->sync();
}

void TQVRegistry::setRootPath(const QString &folder)
{
    rootPathOverride() = folder;
}

QString TQVRegistry::rootPath()
{
    if (!rootPathOverride().isEmpty())
        return rootPathOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString TQVRegistry::defaultStoreFile()
{
    return QDir(rootPath()).filePath(u"registry.ini"_s);
}

QString TQVRegistry::storeFile() const
{
    return m_settings->fileName();
}

QStringList TQVRegistry::resolveKey(const QString &key) const
{
    QStringList plain;
    if (!key.startsWith(u'\\')) {
        for (const QString &stored : m_current)
            plain << unescaped(stored);
    }
    plain << splitKeyPath(key);
    return plain;
}

QString TQVRegistry::groupOf(const QStringList &path) const
{
    return path.join(u'/');
}

QStringList TQVRegistry::existingPath(const QStringList &components) const
{
    m_settings->sync();
    QStringList stored;
    for (const QString &component : components) {
        m_settings->beginGroup(groupOf(stored));
        const QString match = findChild(m_settings->childGroups(), component);
        m_settings->endGroup();
        if (match.isEmpty())
            break;
        stored << match;
    }
    return stored;
}

bool TQVRegistry::openKey(const QString &key, bool canCreate)
{
    const QStringList plain = resolveKey(key);
    QStringList stored = existingPath(plain);
    if (stored.size() < plain.size()) {
        if (!canCreate || !m_settings->isWritable())
            return false;
        while (stored.size() < plain.size()) {
            stored << escaped(plain.at(stored.size()));
            m_settings->setValue(groupOf(stored) + u'/' + KeyMarker, QString());
        }
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError)
            return false;
    }
    m_current = stored;
    return true;
}

void TQVRegistry::closeKey()
{
    m_settings->sync();
    m_current.clear();
}

QString TQVRegistry::currentPath() const
{
    QStringList plain;
    for (const QString &stored : m_current)
        plain << unescaped(stored);
    return plain.join(u'\\');
}

bool TQVRegistry::keyExists(const QString &key) const
{
    const QStringList plain = resolveKey(key);
    return existingPath(plain).size() == plain.size();
}

bool TQVRegistry::deleteKey(const QString &key)
{
    const QStringList plain = resolveKey(key);
    const QStringList stored = existingPath(plain);
    if (plain.isEmpty() || stored.size() < plain.size() || !m_settings->isWritable())
        return false;
    m_settings->remove(groupOf(stored));
    m_settings->sync();
    // The open key may have been inside the removed one; fall back to the root.
    if (m_current.mid(0, stored.size()) == stored)
        m_current.clear();
    return m_settings->status() == QSettings::NoError;
}

QStringList TQVRegistry::keyNames() const
{
    m_settings->sync();
    m_settings->beginGroup(groupOf(m_current));
    const QStringList groups = m_settings->childGroups();
    m_settings->endGroup();
    QStringList names;
    for (const QString &group : groups)
        names << unescaped(group);
    return names;
}

bool TQVRegistry::hasSubKeys() const
{
    return !keyNames().isEmpty();
}

QString TQVRegistry::storedValueName(const QString &name) const
{
    if (name.isEmpty())
        return DefaultValue;
    m_settings->beginGroup(groupOf(m_current));
    QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    keys.removeAll(KeyMarker);
    keys.removeAll(DefaultValue);
    const QString match = findChild(keys, name);
    return match.isEmpty() ? escaped(name) : match;
}

QStringList TQVRegistry::valueNames() const
{
    m_settings->sync();
    m_settings->beginGroup(groupOf(m_current));
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    QStringList names;
    for (const QString &key : keys) {
        if (key == DefaultValue)
            names << QString();
        else if (key != KeyMarker)
            names << unescaped(key);
    }
    return names;
}

QString TQVRegistry::readRaw(const QString &name) const
{
    m_settings->sync();
    const QString key = groupOf(m_current + QStringList { storedValueName(name) });
    const QVariant value = m_settings->value(key);
    if (!value.isValid())
        return {};
    // A hand-edited entry that QSettings reads as a list or the like has no type we know.
    if (value.typeId() != QMetaType::QString)
        return u"?:"_s;
    return value.toString();
}

bool TQVRegistry::valueExists(const QString &name) const
{
    return !readRaw(name).isNull();
}

TQVRegistry::ValueType TQVRegistry::valueType(const QString &name) const
{
    const QString raw = readRaw(name);
    if (raw.isNull())
        return ValueType::None;
    const QString tag = raw.section(u':', 0, 0);
    if (tag == StringTag)
        return ValueType::String;
    if (tag == IntegerTag)
        return ValueType::Integer;
    if (tag == BinaryTag)
        return ValueType::Binary;
    return ValueType::None;
}

bool TQVRegistry::deleteValue(const QString &name)
{
    if (!valueExists(name) || !m_settings->isWritable())
        return false;
    m_settings->remove(groupOf(m_current + QStringList { storedValueName(name) }));
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString TQVRegistry::readString(const QString &name) const
{
    const QString raw = readRaw(name);
    if (raw.isNull())
        return QString();
    if (!raw.startsWith(StringTag + u':'))
        throw wrongType(name);
    return raw.mid(StringTag.size() + 1);
}

qint32 TQVRegistry::readInteger(const QString &name) const
{
    const QString raw = readRaw(name);
    if (raw.isNull())
        throw ERegistryException(u"Failed to get data for '%1'"_s.arg(name));
    if (!raw.startsWith(IntegerTag + u':'))
        throw wrongType(name);
    bool ok = false;
    const qint32 value = raw.mid(IntegerTag.size() + 1).toInt(&ok);
    if (!ok)
        throw wrongType(name);
    return value;
}

bool TQVRegistry::readBool(const QString &name) const
{
    return readInteger(name) != 0;
}

QByteArray TQVRegistry::readBinaryData(const QString &name) const
{
    const QString raw = readRaw(name);
    if (raw.isNull())
        throw ERegistryException(u"Failed to get data for '%1'"_s.arg(name));
    if (!raw.startsWith(BinaryTag + u':'))
        throw wrongType(name);
    return QByteArray::fromHex(raw.mid(BinaryTag.size() + 1).toLatin1());
}

void TQVRegistry::writeRaw(const QString &name, const QString &raw)
{
    if (!m_settings->isWritable())
        throw ERegistryException(u"Failed to set data for '%1'"_s.arg(name));
    m_settings->sync();
    m_settings->setValue(groupOf(m_current + QStringList { storedValueName(name) }), raw);
    flush(name);
}

void TQVRegistry::flush(const QString &name)
{
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        throw ERegistryException(u"Failed to set data for '%1'"_s.arg(name));
}

void TQVRegistry::writeString(const QString &name, const QString &value)
{
    writeRaw(name, StringTag + u':' + value);
}

void TQVRegistry::writeInteger(const QString &name, qint32 value)
{
    writeRaw(name, IntegerTag + u':' + QString::number(value));
}

void TQVRegistry::writeBool(const QString &name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

void TQVRegistry::writeBinaryData(const QString &name, const QByteArray &value)
{
    writeRaw(name, BinaryTag + u':' + QString::fromLatin1(value.toHex()));
}
