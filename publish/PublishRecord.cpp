#include "publish/PublishRecord.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/DataFolders.h"
#include "services/FileFormatException.h"
#include <fstream>

namespace fs = std::filesystem;

fs::path CPublishRecord::DefaultFile() {
    return CDataFolders::AppDataFolder() / kFileName;
}

bool CPublishRecord::Read(const fs::path& file) {
    *this = CPublishRecord();
    auto reader = CByteReader::FromFile(file);
    if (!reader) return false;
    try {
        const int32_t length = reader->ReadInt32Range(0, kMaxPathBytes, "site path length");
        std::string path(length, '\0');
        reader->ReadBytes(path.data(), path.size());
        // Every position takes four bytes, so a count larger than what is left
        // is damage; checking first keeps a bad count from reserving gigabytes.
        const int32_t count = reader->ReadInt32();
        if (count < 0 || static_cast<size_t>(count) > reader->Remaining() / 4)
            reader->Fail("page count out of range");
        std::vector<int32_t> pages(static_cast<size_t>(count));
        for (int32_t& page : pages)
            page = reader->ReadInt32();
        sitePath = std::move(path);
        pendingPages = std::move(pages);
        return true;
    } catch (const CFileFormatException&) {
        return false;
    }
}

bool CPublishRecord::Write(const fs::path& file) const {
    // A path longer than the reader accepts would make the whole file
    // unreadable; writing none keeps the pending list usable.
    const std::string_view path =
        sitePath.size() > static_cast<size_t>(kMaxPathBytes) ? std::string_view() : sitePath;
    CByteWriter writer;
    writer.WriteInt32(static_cast<int32_t>(path.size()));
    writer.WriteBytes(path.data(), path.size());
    writer.WriteInt32(static_cast<int32_t>(pendingPages.size()));
    for (int32_t page : pendingPages)
        writer.WriteInt32(page);

    std::error_code ec;
    if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
    // Write aside and rename, so that a failed write never leaves half a record.
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        const auto& data = writer.Data();
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, file, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}

void CPublishRecord::ApplyTo(CSite& site) {
    for (const auto& page : site.Pages())
        page->SetPublishPending(false);
    matches = !sitePath.empty() && sitePath == site.path;
    bool fits = matches && pendingPages.size() <= static_cast<size_t>(site.PageCount());
    for (int32_t position : pendingPages)
        if (position < 0 || position >= site.PageCount()) fits = false;
    if (fits) {
        for (int32_t position : pendingPages)
            site.PageAt(position).SetPublishPending(true);
        return;
    }
    // A record of another site, or one that no longer fits this site's pages:
    // nothing is known about what the server holds, so everything goes.
    pendingPages.clear();
    for (const auto& page : site.Pages())
        page->SetPublishPending(true);
}

void CPublishRecord::CollectPending(const CSite& site) {
    pendingPages.clear();
    for (int i = 0; i < site.PageCount(); ++i)
        if (site.PageAt(i).PublishPending()) pendingPages.push_back(i);
}

bool CPublishRecord::Save(const CSite& site, const fs::path& file) {
    if (!matches) return true;
    CollectPending(site);
    return Write(file);
}

void CPublishRecord::MarkPublished(CSite& site) {
    for (const auto& page : site.Pages())
        page->SetPublishPending(false);
    sitePath = site.path;
    matches = true;
    pendingPages.clear();
}

void CPublishRecord::Forget() {
    sitePath.clear();
    matches = false;
    pendingPages.clear();
}
