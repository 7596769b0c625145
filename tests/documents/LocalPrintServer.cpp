#include "LocalPrintServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Passes each job's document on unchanged: the queue's output file gets the PDF as printed.
const QByteArray passThroughFilter = "#!/bin/sh\nexec cat \"${6:--}\"\n";

// A one-paper-size PDF printer whose only conversion is the pass-through filter at filter.
QByteArray printerDescription(const QString &filter)
{
    return "*PPD-Adobe: \"4.3\"\n"
           "*FormatVersion: \"4.3\"\n"
           "*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n"
           "*PCFileName: \"TESTPDF.PPD\"\n"
           "*Manufacturer: \"Test\"\n"
           "*Product: \"(Test PDF file)\"\n"
           "*ModelName: \"Test PDF file\"\n"
           "*ShortNickName: \"Test PDF file\"\n"
           "*NickName: \"Test PDF file\"\n"
           "*PSVersion: \"(3010.000) 0\"\n"
           "*LanguageLevel: \"3\"\n"
           "*ColorDevice: True\n"
           "*DefaultColorSpace: RGB\n"
           "*FileSystem: False\n"
           "*Throughput: \"1\"\n"
           "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 "
        + filter.toLocal8Bit()
        + "\"\n"
          "*OpenUI *PageSize/Media Size: PickOne\n"
          "*OrderDependency: 10 AnySetup *PageSize\n"
          "*DefaultPageSize: A4\n"
          "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
          "*CloseUI: *PageSize\n"
          "*OpenUI *PageRegion/Media Size: PickOne\n"
          "*OrderDependency: 10 AnySetup *PageRegion\n"
          "*DefaultPageRegion: A4\n"
          "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
          "*CloseUI: *PageRegion\n"
          "*DefaultImageableArea: A4\n"
          "*ImageableArea A4/A4: \"0 0 595 842\"\n"
          "*DefaultPaperDimension: A4\n"
          "*PaperDimension A4/A4: \"595 842\"\n";
}

// The account the scheduler runs as when the tests run as root: the print system's own.
struct Account
{
    uid_t uid = 0;
    gid_t gid = 0;
    bool found = false;
};

Account printAccount()
{
    Account account;
    if (geteuid() != 0)
        return account;
    if (const passwd *entry = getpwnam("lp")) {
        account.uid = entry->pw_uid;
        account.gid = entry->pw_gid;
        account.found = true;
    }
    return account;
}

QString tail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll().right(2000));
}

// The print system's programs live partly outside a normal user's PATH.
QString program(const QString &name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(
        name, { u"/usr/sbin"_s, u"/usr/local/sbin"_s, u"/sbin"_s });
}

} // namespace

LocalPrintServer::LocalPrintServer()
{
    m_dir.setAutoRemove(true);
}

LocalPrintServer::~LocalPrintServer()
{
    if (m_scheduler.state() != QProcess::NotRunning) {
        m_scheduler.terminate();
        if (!m_scheduler.waitForFinished(10000)) {
            m_scheduler.kill();
            m_scheduler.waitForFinished();
        }
    }
}

QString LocalPrintServer::missingProgram()
{
    for (const QString &name : { u"cupsd"_s, u"lpadmin"_s, u"lpstat"_s }) {
        if (program(name).isEmpty())
            return name;
    }
    return {};
}

QString LocalPrintServer::socketPath() const
{
    return m_dir.filePath(u"cups.sock"_s);
}

QString LocalPrintServer::outputFile(const QString &name) const
{
    return m_dir.filePath(u"out/"_s + name + u".pdf"_s);
}

bool LocalPrintServer::writeFile(const QString &name, const QByteArray &text, bool executable)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    QFile::Permissions permissions =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    return file.setPermissions(permissions);
}

bool LocalPrintServer::start(QString *why)
{
    const QString cupsd = program(u"cupsd"_s);
    if (cupsd.isEmpty()) {
        *why = u"cupsd is not installed"_s;
        return false;
    }
    if (!m_dir.isValid() || socketPath().toLocal8Bit().size() >= 100) {
        *why = u"No temporary folder for the print scheduler"_s;
        return false;
    }
    const QDir root(m_dir.path());
    for (const char *folder : { "conf", "spool", "cache", "state", "tmp", "log", "out" })
        root.mkpath(QString::fromLatin1(folder));
    const QString conf = m_dir.filePath(u"conf"_s);
    const QString files = m_dir.filePath(u"conf/cups-files.conf"_s);
    const QString config = m_dir.filePath(u"conf/cupsd.conf"_s);
    // Local clients may do anything, without a password: nothing but this test reaches the socket.
    const bool written =
        writeFile(u"conf/cupsd.conf"_s,
            "Listen " + socketPath().toLocal8Bit()
                + "\nLogLevel warn\nBrowsing No\nDefaultShared No\nWebInterface No\n"
                  "DefaultAuthType None\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  JobPrivateAccess all\n  JobPrivateValues none\n"
                  "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                  "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
        && writeFile(u"conf/cups-files.conf"_s,
            "ServerRoot " + conf.toLocal8Bit() + "\nStateDir "
                + m_dir.filePath(u"state"_s).toLocal8Bit() + "\nCacheDir "
                + m_dir.filePath(u"cache"_s).toLocal8Bit() + "\nRequestRoot "
                + m_dir.filePath(u"spool"_s).toLocal8Bit() + "\nTempDir "
                + m_dir.filePath(u"tmp"_s).toLocal8Bit() + "\nErrorLog "
                + m_dir.filePath(u"log/error_log"_s).toLocal8Bit() + "\nAccessLog "
                + m_dir.filePath(u"log/access_log"_s).toLocal8Bit() + "\nPageLog "
                + m_dir.filePath(u"log/page_log"_s).toLocal8Bit() + "\nPrintcap "
                + m_dir.filePath(u"state/printcap"_s).toLocal8Bit() + "\nFileDevice Yes\n")
        && writeFile(u"passthrough"_s, passThroughFilter, true)
        && writeFile(u"printer.ppd"_s, printerDescription(m_dir.filePath(u"passthrough"_s)));
    if (!written) {
        *why = u"Cannot write the print scheduler's configuration"_s;
        return false;
    }

    // Under root the scheduler gets the print system's account and everything it uses.
    const Account account = printAccount();
    if (geteuid() == 0 && !account.found) {
        *why = u"There is no print system account (lp) to run the scheduler as"_s;
        return false;
    }
    if (account.found) {
        QDirIterator it(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
            QDirIterator::Subdirectories);
        bool owned =
            ::chown(QFile::encodeName(m_dir.path()).constData(), account.uid, account.gid) == 0;
        while (it.hasNext())
            owned = ::chown(QFile::encodeName(it.next()).constData(), account.uid, account.gid) == 0
                && owned;
        if (!owned) {
            *why = u"Cannot hand the scheduler's folder to its account"_s;
            return false;
        }
    }

    m_scheduler.setChildProcessModifier([account] {
        if (account.found) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(account.gid) != 0
                || ::setuid(account.uid) != 0)
                ::_exit(126);
        }
        // The scheduler ends with the test, also when the test dies.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    m_scheduler.setProcessChannelMode(QProcess::ForwardedChannels);
    m_scheduler.start(cupsd, { u"-f"_s, u"-c"_s, config, u"-s"_s, files });
    if (!m_scheduler.waitForStarted()) {
        *why = u"Cannot start %1: %2"_s.arg(cupsd, m_scheduler.errorString());
        return false;
    }
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (m_scheduler.state() == QProcess::NotRunning)
            break;
        QString state;
        if (QFile::exists(socketPath()) && admin(u"lpstat"_s, { u"-r"_s }, &state)
            && state.trimmed() == u"scheduler is running"_s)
            return true;
        QThread::msleep(50);
    }
    *why = u"The print scheduler did not start: %1"_s.arg(tail(m_dir.filePath(u"log/error_log"_s)));
    return false;
}

bool LocalPrintServer::admin(const QString &name, const QStringList &arguments, QString *output)
{
    const QString path = program(name);
    if (path.isEmpty()) {
        *output = name + u" is not installed"_s;
        return false;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, socketPath());
    process.setProcessEnvironment(environment);
    process.start(path, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *output = u"%1 %2 failed: %3"_s.arg(
            name, arguments.join(u' '), QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return true;
}

bool LocalPrintServer::addQueue(const QString &name, QString *why)
{
    return admin(u"lpadmin"_s,
               { u"-p"_s, name, u"-E"_s, u"-v"_s, u"file://"_s + outputFile(name), u"-P"_s,
                   m_dir.filePath(u"printer.ppd"_s) },
               why)
        && admin(u"lpadmin"_s, { u"-d"_s, name }, why);
}

bool LocalPrintServer::removeQueue(const QString &name, QString *why)
{
    return admin(u"lpadmin"_s, { u"-x"_s, name }, why);
}

bool LocalPrintServer::waitUntilIdle(QString *why)
{
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        QString jobs;
        if (!admin(u"lpstat"_s, { u"-o"_s }, &jobs)) {
            *why = jobs;
            return false;
        }
        if (jobs.trimmed().isEmpty())
            return true;
        QThread::msleep(50);
    }
    *why =
        u"The print scheduler still has jobs: %1"_s.arg(tail(m_dir.filePath(u"log/error_log"_s)));
    return false;
}
