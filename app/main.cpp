#include "app/MainFrame.h"
#include "render/Rendering.h"
#include "services/Version.h"
#include <QApplication>

int main(int argc, char** argv) {
    // Organisation and application name fix where the settings file lives
    // (~/.config/Quillmarsh/Pagewright.conf); set them before anything reads it.
    QApplication::setOrganizationName(QStringLiteral("Quillmarsh"));
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    QApplication::setApplicationVersion(QString::fromUtf8(pw::Version()));
    QApplication app(argc, argv);

    CMainFrame frame;
    InstallRendering(&frame.Interaction());
    frame.show();
    return app.exec();
}
