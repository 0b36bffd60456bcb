#pragma once
#include <QUrl>
#include <QWidget>
#include <functional>

class QWebEngineView;

// The program's own browser window for previews ("Aftest hjemmesiden"). One
// window is kept and reloaded for every preview. When the web engine cannot
// show the page (no GPU, sandbox refused, the renderer died) the failure
// callback gets the address so the desktop's browser can take over.
class CPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit CPreviewWindow(QWidget* parent = nullptr);
    ~CPreviewWindow() override;

    // Shows the page, the window sized to the page plus 25 pixels each way
    // (never larger than the screen).
    void ShowPage(const QUrl& url, QSize pageSize);
    QUrl Url() const { return m_url; }
    bool Loaded() const { return m_loaded; }
    std::function<void(const QUrl&)> onFailure;

signals:
    void loaded(bool ok);

private:
    QWebEngineView* m_view;
    QUrl m_url;
    bool m_loaded = false;
};
