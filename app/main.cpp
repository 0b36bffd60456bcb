#include "app/MainFrame.h"
#include "app/QtInteraction.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "services/Version.h"
#include <QApplication>
#include <QFileInfo>
#include <unistd.h>

int main(int argc, char** argv) {
    // Organisation and application name fix where the settings file lives
    // (~/.config/Quillmarsh/Pagewright.conf); set them before anything reads it.
    QApplication::setOrganizationName(QStringLiteral("Quillmarsh"));
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    QApplication::setApplicationVersion(QString::fromUtf8(pw::Version()));
    // The preview's web engine shares its drawing contexts with the widgets;
    // it has to be said before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The web engine's sandbox refuses to run for root (containers, test
    // machines); the preview shows only pages the user built.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);

    QStringList files = app.arguments().mid(1);
    files.removeIf([](const QString& a) { return a.startsWith(QLatin1Char('-')); });
    for (QString& file : files) file = QFileInfo(file).absoluteFilePath();
    const QString name = pw::instance::ServerName();
    // A designer is running: it takes the files (or comes to the front).
    if (pw::instance::ForwardToRunning(name, files, 1000)) return 0;

    pw::startup::CStartupResult started = pw::startup::Start(files);
    if (started.exitCode != 0) return started.exitCode;
    CMainFrame& frame = *started.frame;

    CInstanceServer server;
    server.Listen(name);
    QObject::connect(&server, &CInstanceServer::filesReceived, &frame,
                     [&frame](const QStringList& received) {
                         frame.showNormal();
                         frame.raise();
                         frame.activateWindow();
                         if (!received.isEmpty()) frame.OpenSite(ToPath(received.front()));
                     });
    return app.exec();
}
