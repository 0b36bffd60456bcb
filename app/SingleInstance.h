#pragma once
#include <QObject>
#include <QStringList>

class QLocalServer;

// One designer per user: a second start hands its files to the first one
// through a local socket and ends.
namespace pw::instance {
// The socket name of this user's designer (PW_INSTANCE overrides it).
QString ServerName();
// Hands the files (possibly none: the running window comes to the front)
// to a running designer. True when one took them.
bool ForwardToRunning(const QString& name, const QStringList& files, int timeoutMs = 2000);
} // namespace pw::instance

// The running designer's end of the socket.
class CInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit CInstanceServer(QObject* parent = nullptr);
    ~CInstanceServer() override;
    // Listens under the name, taking over a socket file left by a designer
    // that did not end normally. False when that is impossible.
    bool Listen(const QString& name);

signals:
    void filesReceived(const QStringList& files);

private:
    QLocalServer* m_server;
};
