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
    QStringList args { u"-m"_s, u"aiosmtpd"_s, u"-n"_s, u"-l"_s, u"127.0.0.1:%1"_s.arg(m_port),
        u"-c"_s };
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
