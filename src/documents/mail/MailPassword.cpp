#include "documents/mail/MailPassword.h"

#include "controls/window/TQVRegistry.h"
#include "engine/Exception.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"Velbric Tessorin"_s;
const QString entry = u"mail server"_s;
const QString secretsName = u"org.freedesktop.secrets"_s;
// A secret store that does not answer within this is taken as absent.
constexpr int keychainMs = 5000;

bool askBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    QDBusConnectionInterface *names = bus.interface();
    if (names->isServiceRegistered(secretsName).value())
        return true;
    // A store the bus starts on the first call counts as running.
    const QDBusReply<QStringList> startable = names->call(u"ListActivatableNames"_s);
    return startable.isValid() && startable.value().contains(secretsName);
}

// Runs one keychain job to its end or to the time limit; false when it failed or took too long.
bool runJob(QKeychain::Job *job, QString *password = nullptr)
{
    QEventLoop loop;
    bool done = false;
    bool ok = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job *finished) {
        done = true;
        ok = finished->error() == QKeychain::NoError;
        if (ok && password)
            *password = static_cast<QKeychain::ReadPasswordJob *>(finished)->textData();
        loop.quit();
    });
    QTimer::singleShot(keychainMs, &loop, &QEventLoop::quit);
    job->setAutoDelete(true); // a job that outlives the wait goes when it ends
    job->start();
    if (!done)
        loop.exec();
    return ok;
}

bool keychainRead(QString *password)
{
    auto *job = new QKeychain::ReadPasswordJob(service);
    job->setKey(entry);
    return runJob(job, password);
}

bool keychainWrite(const QString &password)
{
    if (password.isEmpty()) {
        auto *job = new QKeychain::DeletePasswordJob(service);
        job->setKey(entry);
        runJob(job); // nothing stored is no failure
        return true;
    }
    auto *job = new QKeychain::WritePasswordJob(service);
    job->setKey(entry);
    job->setTextData(password);
    return runJob(job);
}

MailPassword::Stored readFile()
{
    const QString path = MailPassword::file();
    const QByteArray name = QFile::encodeName(path);
    // Opened without following a link, then checked on the open file itself.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        if (errno == ELOOP)
            return { {},
                u"The mail password file %1 is a link, so it was not read. Remove it and "
                "enter the password again under Options, E-mail."_s.arg(path) };
        return { {}, u"The mail password file %1 cannot be read."_s.arg(path) };
    }
    struct stat info = {};
    QString problem;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        problem = u"The mail password file %1 is not a plain file, so it was not read."_s.arg(path);
    else if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0)
        problem =
            u"The mail password file %1 can be read by others, so it was not used. Enter "
            "the password again under Options, E-mail (the file is then made private)."_s.arg(path);
    QFile file;
    MailPassword::Stored stored;
    if (problem.isEmpty() && file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        stored.password = QString::fromUtf8(file.readAll()).trimmed();
    ::close(fd);
    stored.problem = problem;
    return stored;
}

void writeFile(const QString &password)
{
    const QString path = MailPassword::file();
    if (password.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(TQVRegistry::rootPath());
    QFile::remove(path); // a link or a file of someone else's is replaced, never written through
    QSaveFile file(path);
    // Readable by the user alone from the moment it exists.
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(password.toUtf8()) < 0 || !file.commit())
        throw Exception(u"The mail password cannot be stored: %1"_s.arg(file.errorString()));
}

} // namespace

namespace MailPassword {

QString file()
{
    return QDir(TQVRegistry::rootPath()).filePath(u"mail-password"_s);
}

bool secretStoreRunning()
{
    static const bool running = askBus();
    return running;
}

Stored read()
{
    if (secretStoreRunning()) {
        QString password;
        if (keychainRead(&password))
            return { password, {} };
    }
    return readFile();
}

void write(const QString &password)
{
    if (secretStoreRunning() && keychainWrite(password)) {
        QFile::remove(file()); // no second copy in a file
        return;
    }
    writeFile(password);
}

} // namespace MailPassword
