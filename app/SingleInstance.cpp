#include "app/SingleInstance.h"
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>
#include <unistd.h>

namespace {
// The conversation: one "OPEN <file>" line per file, then "END"; the running
// designer answers "OK" once it has taken the files.
constexpr char kOpen[] = "OPEN ";
constexpr char kEnd[] = "END";
constexpr char kOk[] = "OK\n";
} // namespace

namespace pw::instance {

QString ServerName() {
    const QByteArray overridden = qgetenv("PW_INSTANCE");
    if (!overridden.isEmpty()) return QString::fromLocal8Bit(overridden);
    return QStringLiteral("pagewright-sitedesk-%1").arg(::getuid());
}

bool ForwardToRunning(const QString& name, const QStringList& files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray message;
    for (const QString& file : files) message += kOpen + file.toUtf8() + '\n';
    message += QByteArray(kEnd) + '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(timeoutMs)) reply += socket.readAll();
    return reply == kOk;
}

} // namespace pw::instance

CInstanceServer::CInstanceServer(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!buffer->endsWith(QByteArray(kEnd) + '\n')) return;
                QStringList files;
                for (const QByteArray& line : buffer->split('\n'))
                    if (line.startsWith(kOpen))
                        files << QString::fromUtf8(line.mid(int(sizeof kOpen) - 1));
                buffer->clear();
                socket->write(kOk);
                socket->flush();
                emit filesReceived(files);
            });
        }
    });
}

CInstanceServer::~CInstanceServer() = default;

bool CInstanceServer::Listen(const QString& name) {
    if (m_server->listen(name)) return true;
    // Nobody answers on a name that is taken: its owner is gone.
    if (pw::instance::ForwardToRunning(name, {}, 300)) return false;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}
