#pragma once
#include "services/SettingsStore.h"
#include <QSettings>
#include <QString>
#include <memory>

// The per-user settings file: INI format at the standard per-user place
// (~/.config/Quillmarsh/Pagewright.conf), every value in the group
// "Settings". Integers are written as numbers, texts as UTF-8 text and the
// binary profile value as a byte array.
//
// INI text carries no types, so a value reads as an integer when its text is
// a whole number in the 32-bit range and as missing otherwise; a byte array
// never reads as text or number, nor text as a byte array.
class CQtSettingsStore : public CSettingsStore {
public:
    // The user's own settings file.
    CQtSettingsStore();
    // A settings file at an explicit path (tests, portable use).
    explicit CQtSettingsStore(const QString& iniPath);
    ~CQtSettingsStore() override;

    std::optional<int32_t> ReadInt(std::string_view name) const override;
    std::optional<std::string> ReadString(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const override;

    void WriteInt(std::string_view name, int32_t value) override;
    void WriteString(std::string_view name, std::string_view value) override;
    void WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override;

    // Writes pending changes to disk; false when the file could not be
    // written. The file is only ever readable by its owner (mode 0600), and
    // it is replaced whole, never left half written.
    bool Sync();
    QString FileName() const;
    // ~/.config/Quillmarsh/Pagewright.conf, following XDG_CONFIG_HOME.
    static QString DefaultFileName();

private:
    QVariant Value(std::string_view name) const;
    bool MakeFilePrivate();

    std::unique_ptr<QSettings> m_settings;
    bool m_private = false;
};
