#include "services/FtpProfile.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <algorithm>
#include <stdexcept>

namespace {

constexpr size_t kMaxField = 0xFFFF;
constexpr size_t kMinProfileSize = 23; // eight empty strings and the numbers

uint16_t ClampField(int value) {
    return static_cast<uint16_t>(std::clamp(value, 0, static_cast<int>(kMaxField)));
}

void WriteText(CByteWriter& out, const std::string& text) {
    if (text.size() > kMaxField)
        throw std::length_error("FTP profile text longer than 65535 bytes");
    out.WriteUInt16(static_cast<uint16_t>(text.size()));
    out.WriteBytes(text.data(), text.size());
}

// Profile texts may be up to 65535 bytes, longer than the reader's short
// strings allow, so they are read as a length and that many bytes.
std::string ReadText(CByteReader& in) {
    const uint16_t length = in.ReadUInt16();
    const auto bytes = in.ViewBytes(length);
    return std::string(bytes.begin(), bytes.end());
}

CFtpProfile ReadProfile(CByteReader& in) {
    CFtpProfile p;
    p.name = ReadText(in);
    p.server = ReadText(in);
    p.user = ReadText(in);
    p.password = ReadText(in);
    p.catalog = ReadText(in);
    p.port = in.ReadUInt16();
    p.passive = in.ReadByte() == 1;
    p.proxyType = in.ReadUInt16();
    p.proxyServer = ReadText(in);
    p.proxyPort = in.ReadUInt16();
    p.proxyUser = ReadText(in);
    p.proxyPassword = ReadText(in);
    return p;
}

bool IsCatalogChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '~' || c == '_' || c == '\\' || c == '/';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

const char* ConnectionKindName(EConnectionKind kind) {
    switch (kind) {
    case EConnectionKind::Ftps:
        return "FTPS";
    case EConnectionKind::Sftp:
        return "SFTP";
    case EConnectionKind::Ftp:
        break;
    }
    return "FTP";
}

EConnectionKind ParseConnectionKind(std::string_view name) {
    if (name == "FTPS") return EConnectionKind::Ftps;
    if (name == "SFTP") return EConnectionKind::Sftp;
    return EConnectionKind::Ftp;
}

std::vector<uint8_t> EncodeProfileKinds(const std::vector<CFtpProfile>& profiles) {
    std::vector<const CFtpProfile*> listed;
    for (const CFtpProfile& p : profiles)
        if (p.kind != EConnectionKind::Ftp || !p.keyFile.empty()) listed.push_back(&p);
    if (listed.size() > kMaxField) throw std::length_error("more than 65535 FTP profiles");
    CByteWriter out;
    out.WriteUInt16(static_cast<uint16_t>(listed.size()));
    for (const CFtpProfile* p : listed) {
        WriteText(out, p->name);
        WriteText(out, ConnectionKindName(p->kind));
        WriteText(out, p->keyFile);
    }
    return out.Take();
}

void ApplyProfileKinds(std::vector<CFtpProfile>& profiles, const std::vector<uint8_t>& bytes) {
    struct CKind {
        EConnectionKind kind;
        std::string keyFile;
    };
    std::vector<std::pair<std::string, CKind>> read;
    try {
        CByteReader in{std::span<const uint8_t>(bytes)};
        const uint16_t count = in.ReadUInt16();
        for (uint16_t i = 0; i < count; ++i) {
            std::string name = ReadText(in);
            const EConnectionKind kind = ParseConnectionKind(ReadText(in));
            read.push_back({std::move(name), {kind, ReadText(in)}});
        }
    } catch (const std::exception&) {
        return;
    }
    for (CFtpProfile& p : profiles)
        for (const auto& [name, kind] : read)
            if (p.name == name) {
                p.kind = kind.kind;
                p.keyFile = kind.keyFile;
            }
}

std::vector<uint8_t> EncodeProfiles(const std::vector<CFtpProfile>& profiles) {
    if (profiles.size() > kMaxField) throw std::length_error("more than 65535 FTP profiles");
    CByteWriter out;
    out.WriteUInt16(static_cast<uint16_t>(profiles.size()));
    for (const CFtpProfile& p : profiles) {
        WriteText(out, p.name);
        WriteText(out, p.server);
        WriteText(out, p.user);
        WriteText(out, p.password);
        WriteText(out, p.catalog);
        out.WriteUInt16(ClampField(p.port));
        out.WriteByte(p.passive ? 1 : 0);
        out.WriteUInt16(ClampField(p.proxyType));
        WriteText(out, p.proxyServer);
        out.WriteUInt16(ClampField(p.proxyPort));
        WriteText(out, p.proxyUser);
        WriteText(out, p.proxyPassword);
    }
    return out.Take();
}

std::vector<CFtpProfile> DecodeProfiles(const std::vector<uint8_t>& bytes) {
    try {
        CByteReader in{std::span<const uint8_t>(bytes)};
        const uint16_t count = in.ReadUInt16();
        // Every profile takes at least 23 bytes; a count the value cannot
        // hold is refused before anything is allocated for it.
        if (in.Remaining() < count * kMinProfileSize) return {};
        std::vector<CFtpProfile> profiles;
        profiles.reserve(count);
        for (uint16_t i = 0; i < count; ++i)
            profiles.push_back(ReadProfile(in));
        return profiles;
    } catch (const CFileFormatException&) {
        return {};
    }
}

size_t SaveProfile(std::vector<CFtpProfile>& profiles, const CFtpProfile& profile) {
    for (size_t i = 0; i < profiles.size(); ++i) {
        if (profiles[i].name == profile.name) {
            profiles[i] = profile;
            return i;
        }
    }
    profiles.push_back(profile);
    return profiles.size() - 1;
}

std::optional<size_t> DeleteProfile(std::vector<CFtpProfile>& profiles, size_t index) {
    if (index >= profiles.size()) return std::nullopt;
    profiles.erase(profiles.begin() + static_cast<std::ptrdiff_t>(index));
    if (profiles.empty()) return std::nullopt;
    return std::min(index, profiles.size() - 1);
}

bool IsValidCatalog(std::string_view catalog) {
    // Normalise: one kind of separator, no empty folder names, no separator
    // at either end.
    std::string work;
    work.reserve(catalog.size());
    for (char c : catalog) {
        if (c == '/') c = '\\';
        if (c == '\\' && !work.empty() && work.back() == '\\') continue;
        work.push_back(c);
    }
    if (!work.empty() && work.front() == '\\') work.erase(0, 1);
    if (!work.empty() && work.back() == '\\') work.pop_back();
    if (work.empty()) return true;

    // "." and ".." would lead out of the folder the login starts in.
    for (size_t start = 0; start <= work.size();) {
        size_t end = work.find('\\', start);
        if (end == std::string::npos) end = work.size();
        const std::string_view part(work.data() + start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }

    // No folder name may begin with a digit.
    if (IsDigit(work.front())) return false;
    for (size_t i = 0; i + 1 < work.size(); ++i)
        if (work[i] == '\\' && IsDigit(work[i + 1])) return false;

    return std::all_of(work.begin(), work.end(), IsCatalogChar);
}
