#pragma once
#include <QObject>
#include <QString>
#include <filesystem>

class CPlumeDoc;
class QTimer;

// Keeps a copy of unsaved work so that a crash or a kill loses at most a few
// minutes. While the open site is modified it is written every interval to
// recovery.pwu in the user's data folder ($XDG_DATA_HOME/pagewright/recovery),
// never over the user's own file; recovery.path beside it names the file the
// site came from. Saving or closing the site normally removes both.
class CRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultMinutes = 3;

    CRecovery(CPlumeDoc& doc, QObject* parent = nullptr);
    ~CRecovery() override;

    static std::filesystem::path Folder();
    static std::filesystem::path SiteFile();
    // A copy left by a session that did not end normally.
    static bool Pending();
    // The file the pending copy was made from; empty for a never-saved site.
    static std::filesystem::path OriginalPath();

    // PW_RECOVERY_SECONDS overrides the interval (tests).
    void SetIntervalMinutes(int minutes);
    int IntervalMs() const;
    // Starts watching the open site.
    void Start();
    // Writes the copy now when the site is modified; true when written.
    bool WriteNow();
    // Removes the copy and stops until the next Start.
    void Discard();
    // Opens the pending copy as the site, modified and named after its
    // original file (so Save asks nothing and writes there). False when it
    // could not be read.
    bool Restore();

private:
    CPlumeDoc& m_doc;
    QTimer* m_timer;
};
