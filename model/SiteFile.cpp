#include "model/SiteFile.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/PicturePaths.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include <array>
#include <climits>
#include <cstring>
#include <exception>
#include <new>
#include <optional>

namespace {

using namespace site_file;

constexpr uint16_t kHeaderConstant = 27;

CRgb ToRgb(const CColor& colour) {
    return CRgb::FromColorRef(colour.GetCOLORREF());
}
CColor ToColour(const CRgb& rgb) {
    return CColor(rgb.r, rgb.g, rgb.b);
}

// The header as stored, up to and including the template names.
struct CHeader {
    CStreamVersion version;
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<CBackgroundFill> defaultFill;
    CRgb unvisited, visited;
    bool isTemplate = false;
    std::string keywords;
    std::string description;
    int pageCount = 0;
    std::array<int16_t, 5> lastPublished{};
    std::vector<uint8_t> previewJpeg; // version 8 only
    std::string category;
    std::string templateName;
};

enum class EPurpose { Load, Info };

void ExpectMagic(CByteReader& reader, const char* magic, std::size_t size) {
    const std::size_t at = reader.Tell();
    if (reader.Remaining() < size || std::memcmp(reader.ViewBytes(size).data(), magic, size) != 0)
        reader.FailAt("not a site file", at);
}

// Reads the header with every check. Throws CFileFormatException.
void ReadHeader(CByteReader& reader, CHeader& h, EPurpose purpose, const std::string& path,
                CUserInteraction* ui) {
    ExpectMagic(reader, kMagic1, sizeof kMagic1);
    ExpectMagic(reader, kMagic2, sizeof kMagic2);
    h.version.source = reader.ReadByte();
    h.version.version = reader.ReadByte();
    if (h.version.source == 0 || (h.version.source == 1 && h.version.version > 8))
        reader.Fail("unknown file version " + std::to_string(h.version.source) + "." +
                    std::to_string(h.version.version));
    reader.SetVersion(h.version);
    reader.ReadUInt16();
    h.name = reader.ReadShortString();
    h.width = reader.ReadUInt16Range(CPage::kMinWidth + 1, CPage::kMaxWidth, "default width");
    h.height = reader.ReadUInt16Range(CPage::kMinHeight + 1,
                                      static_cast<uint16_t>(CPage::kMaxHeight), "default height");
    h.defaultFill = std::make_unique<CBackgroundFill>();
    h.defaultFill->Load(reader, h.version,
                        picture_paths::LoadMapping(path, purpose == EPurpose::Load ? ui : nullptr));
    h.unvisited = reader.ReadColour();
    h.visited = reader.ReadColour();
    h.isTemplate = reader.ReadBool();
    reader.Skip(3 + 60);
    reader.ReadShortString(); // web name of the front page, kept on the page itself
    if (h.version.Has(6)) h.keywords = reader.ReadString();
    if (h.version.Has(7)) h.description = reader.ReadString();
    h.pageCount = reader.ReadUInt16Range(1, CSite::kMaxPages, "page count");
    reader.ReadInt32();
    for (int16_t& v : h.lastPublished)
        v = reader.ReadInt16();
    const uint8_t marker = reader.ReadByte();
    if (h.version.Has(8)) {
        const int32_t n = reader.ReadInt32Range(0, INT32_MAX, "preview size");
        h.previewJpeg = reader.ReadBytes(static_cast<std::size_t>(n));
    } else {
        reader.ReadUInt16();
        const uint16_t rows = reader.ReadUInt16();
        const int32_t rowLength = reader.ReadInt32Range(0, INT32_MAX, "preview row length");
        // The template list of older releases skipped the rows only after a
        // non-zero marker; its files were written that way.
        if (purpose == EPurpose::Load || marker != 0)
            reader.Skip(static_cast<std::size_t>(rows) * static_cast<std::size_t>(rowLength));
    }
    if (h.isTemplate) {
        h.category = reader.ReadTinyString();
        h.templateName = reader.ReadTinyString();
    }
}

void WriteHeader(const CSite& site, CByteWriter& writer, const CSiteSaveOptions& options,
                 const std::vector<uint8_t>* preview, int itemCount) {
    writer.WriteBytes(kMagic1, sizeof kMagic1);
    writer.WriteBytes(kMagic2, sizeof kMagic2);
    writer.WriteByte(kCurrentStreamVersion.source);
    writer.WriteByte(kCurrentStreamVersion.version);
    writer.WriteUInt16(kHeaderConstant);
    writer.WriteShortString(site.name);
    writer.WriteUInt16(static_cast<uint16_t>(site.defaultWidth));
    writer.WriteUInt16(static_cast<uint16_t>(site.defaultHeight));
    // The default fill of a new site has no size of its own yet.
    CBackgroundFill defaultFill(site.DefaultFill());
    defaultFill.SetWidth(site.defaultWidth);
    defaultFill.SetHeight(site.defaultHeight);
    defaultFill.Save(
        writer, picture_paths::StoreMapping(options.targetPath, options.asTemplate, options.ui));
    writer.WriteColour(ToRgb(site.unvisitedLinkColour));
    writer.WriteColour(ToRgb(site.visitedLinkColour));
    writer.WriteBool(options.asTemplate);
    const uint8_t zeros[63] = {};
    writer.WriteBytes(zeros, sizeof zeros);
    const CPage* front = site.FrontPage();
    writer.WriteShortString(front ? front->WebName() : std::string());
    writer.WriteString(site.keywords);
    writer.WriteString(site.description);
    writer.WriteUInt16(static_cast<uint16_t>(site.PageCount()));
    writer.WriteInt32(itemCount);
    for (int16_t v : site.lastPublished)
        writer.WriteInt16(v);
    writer.WriteByte(1);
    if (!preview) return;
    writer.WriteInt32(static_cast<int32_t>(preview->size()));
    writer.WriteBytes(*preview);
    if (options.asTemplate) {
        writer.WriteTinyString(options.category);
        writer.WriteTinyString(options.templateName);
    }
}

// The front page as a small JPEG; false when it cannot be made.
bool MakePreview(CSite& site, const CSiteSaveOptions& options, std::vector<uint8_t>& jpeg) {
    CPage* front = site.FrontPage();
    if (!front && site.PageCount() > 0) front = &site.PageAt(0);
    if (!front) return false;
    const CPreviewMaker& maker = options.makePreview ? options.makePreview : DefaultPreviewMaker();
    if (!maker) return false;
    const int w = options.asTemplate ? kTemplatePreviewWidth : kPreviewWidth;
    const int h = options.asTemplate ? kTemplatePreviewHeight : kPreviewHeight;
    const std::unique_ptr<CImage> picture = maker(*front, w, h);
    if (!picture) return false;
    CMemFile file;
    int error = 0;
    if (!CJpegIO::Save(file, *picture, kPreviewQuality, error, std::string())) return false;
    jpeg = file.Detach();
    return !jpeg.empty();
}

} // namespace

CPreviewMaker& DefaultPreviewMaker() {
    static CPreviewMaker maker;
    return maker;
}

bool SaveSite(CSite& site, CByteWriter& writer, const CSiteSaveOptions& options) {
    try {
        int items = 0;
        for (const auto& page : site.Pages())
            items += page->ItemCount();
        std::vector<uint8_t> preview;
        if (!MakePreview(site, options, preview)) {
            WriteHeader(site, writer, options, nullptr, items);
            return false;
        }
        WriteHeader(site, writer, options, &preview, items);
        for (const auto& page : site.Pages())
            SavePage(*page, writer, options);
    } catch (const std::exception&) {
        return false;
    }
    if (options.markSaved) site.MarkSaved();
    return true;
}

std::unique_ptr<CSite> LoadSite(CByteReader& reader, const std::string& path, CUserInteraction* ui,
                                std::string* error) {
    try {
        CHeader h;
        ReadHeader(reader, h, EPurpose::Load, path, ui);
        auto site = std::make_unique<CSite>(path);
        site->name = h.name;
        site->defaultWidth = h.width;
        site->defaultHeight = h.height;
        site->SetDefaultFill(*h.defaultFill);
        site->unvisitedLinkColour = ToColour(h.unvisited);
        site->visitedLinkColour = ToColour(h.visited);
        site->keywords = h.keywords;
        site->description = h.description;
        site->lastPublished = h.lastPublished;
        for (int i = 0; i < h.pageCount; ++i) {
            CPage& page = site->AddPage(std::make_unique<CPage>(*site, "", ""));
            LoadPage(page, reader, h.version, path, ui);
        }
        CPage* front = site->FrontPage();
        site->SetCurrentPage(front ? front : &site->PageAt(0));
        site->MarkSaved();
        return site;
    } catch (const CFileFormatException& e) {
        if (error) *error = e.what();
    } catch (const std::bad_alloc&) {
        if (error) *error = "out of memory";
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    }
    return nullptr;
}

std::unique_ptr<CSite> LoadSiteFile(const std::filesystem::path& path, CUserInteraction* ui,
                                    std::string* error) {
    std::optional<CByteReader> reader = CByteReader::FromFile(path, error);
    if (!reader) return nullptr;
    return LoadSite(*reader, path.string(), ui, error);
}

bool ReadSiteInfo(const std::filesystem::path& path, std::string& category,
                  std::string& templateName) {
    std::optional<CByteReader> reader = CByteReader::FromFile(path);
    if (!reader) return false;
    try {
        CHeader h;
        ReadHeader(*reader, h, EPurpose::Info, path.string(), nullptr);
        if (!h.isTemplate) return false;
        category = h.category;
        templateName = h.templateName;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::unique_ptr<CImage> ReadSitePreview(const std::filesystem::path& path) {
    std::optional<CByteReader> reader = CByteReader::FromFile(path);
    if (!reader) return nullptr;
    try {
        CHeader h;
        ReadHeader(*reader, h, EPurpose::Info, path.string(), nullptr);
        if (h.previewJpeg.empty()) return nullptr;
        int error = 0;
        return CJpegIO::Load(h.previewJpeg.data(), h.previewJpeg.size(), error);
    } catch (const std::exception&) {
        return nullptr;
    }
}
