#include "LocalSmtpServer.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

const QString python = u"/usr/bin/python3"_s;

} // namespace

LocalSmtpServer::LocalSmtpServer(const QString &handler)
    : m_handler(handler)
{ }

LocalSmtpServer::~LocalSmtpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
}

void LocalSmtpServer::setTls(const QString &certificate, const QString &key, bool startTls)
{
    m_tlsArguments = startTls ? QStringList { u"--tlscert"_s, certificate, u"--tlskey"_s, key }
                              : QStringList { u"--smtpscert"_s, certificate, u"--smtpskey"_s, key };
}

bool LocalSmtpServer::makeCertificate(const QString &folder, QString *why)
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(u"openssl"_s,
        { u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
            u"-subj"_s, u"/CN=localhost"_s, u"-addext"_s,
            u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s, u"-keyout"_s, folder + u"/key.pem"_s,
            u"-out"_s, folder + u"/cert.pem"_s });
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        *why = u"openssl could not make a certificate: "_s + openssl.errorString() + u' '
            + QString::fromLocal8Bit(openssl.readAll());
        return false;
    }
    return true;
}

int LocalSmtpServer::unusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool LocalSmtpServer::start(QString *why)
{
    // Another program may take the free port before the server binds it: then try another.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (startOnce(why))
            return true;
        m_process.kill();
        m_process.waitForFinished();
    }
    return false;
}

bool LocalSmtpServer::startOnce(QString *why)
{
    m_port = unusedPort();
    QStringList args { u"-m"_s, u"aiosmtpd"_s, u"-n"_s, u"-l"_s, u"127.0.0.1:%1"_s.arg(m_port) };
    args << m_tlsArguments << u"-c"_s;
    if (m_handler.isEmpty())
        args << u"aiosmtpd.handlers.Mailbox"_s << m_maildir.filePath(u"mail"_s);
    else
        args << m_handler;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"PYTHONPATH"_s, QStringLiteral(TEST_SOURCE_DIR));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(python, args);
    if (!m_process.waitForStarted()) {
        *why = u"Cannot start %1: %2"_s.arg(python, m_process.errorString());
        return false;
    }
    // Ready once it takes a connection; a slow machine may take a while to load Python.
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning) {
            *why = u"The mail server ended at once (is python3-aiosmtpd installed?)"_s;
            return false;
        }
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (socket.waitForConnected(500)) {
            socket.disconnectFromHost();
            return true;
        }
        QThread::msleep(50);
    }
    *why = u"The mail server did not start taking connections"_s;
    return false;
}

QJsonArray LocalSmtpServer::messages() const
{
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.start(python,
        { QStringLiteral(TEST_SOURCE_DIR "/read_maildir.py"), m_maildir.filePath(u"mail"_s) });
    reader.waitForFinished(60000);
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}
