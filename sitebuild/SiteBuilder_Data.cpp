// The data phase of SiteBuilder: per page the text styles, the background
// and the pictures and links of the image items.
#include "sitebuild/HtmlWriter.h"
#include "sitebuild/LinkUrls.h"
#include "sitebuild/PageClassify.h"
#include "sitebuild/RegionRenderer.h"
#include "sitebuild/SiteBuilder.h"
#include "image/Image.h"
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"

namespace {

// Pictures larger than this many pixels make a page slow to load.
constexpr long long kLargeObjectArea = 160000;

long long Area(const CRect& r) {
    return r.IsEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

void SetRect(BuildItem& built, const CRect& r) {
    built.left = r.left;
    built.top = r.top;
    built.width = r.Width();
    built.height = r.Height();
}

} // namespace

int SiteBuilder::BuildPageData(BuildPage& page) {
    // The first phase brought the page's fills and objects up to date.
    CPage& source = m_site->PageAt(page.position);
    for (const BuildItem& built : page.items)
        if (built.htmlText) CHtmlWriter::AddTextStyles(page, built);
    WritePageBackground(page, m_settings, m_backgrounds);

    std::vector<bool> drawn(static_cast<std::size_t>(source.ItemCount()), false);
    for (const BuildItem& built : page.items)
        drawn[static_cast<std::size_t>(built.zIndex)] =
            IsDrawnInImages(built, m_settings.previewMode);
    CRegionRenderer renderer(*m_tiles, source, std::move(drawn));

    for (int i = 0; i < static_cast<int>(page.items.size()); ++i) {
        BuildItem& built = page.items[static_cast<std::size_t>(i)];
        built.zIndex = source.IndexOf(*built.item);
        if (!IsImageItem(built, m_settings.previewMode)) {
            const CPageObject& object = built.item->Current();
            if (object.GetKind() == KIND_HTML || object.GetKind() == KIND_FORM)
                SetRect(built, object.GetRect());
            continue;
        }
        const bool twin = built.item->HasMouseOver() && built.item->MouseOver();
        const int code =
            twin ? BuildMouseOverImages(page, i, renderer) : BuildItemImages(page, i, renderer);
        if (code != BuildOk) return code;
        ResolveLink(page, built);
        ++m_imageCounter;
        if (Cancelled()) return BuildCancelled;
    }
    return BuildOk;
}

const CRegionPixels* SiteBuilder::RenderState(CRegionRenderer& renderer, BuildItem& built,
                                              CPageObject* state, const CRect& rect, int buffer) {
    auto& pixels = m_pixels[buffer];
    if (!pixels) pixels = std::make_unique<CRegionPixels>();
    return renderer.Render(rect, built.item, state, *pixels) ? pixels.get() : nullptr;
}

int SiteBuilder::BuildItemImages(BuildPage& page, int index, CRegionRenderer& renderer) {
    BuildItem& built = page.items[static_cast<std::size_t>(index)];
    CPageObject& object = built.item->Current();
    const CRect rect = object.GetRect().Intersect(PageRect(*page.page));
    if (!AcceptLargeObject(page, rect, rect)) return BuildCancelled;
    built.number = m_imageCounter;
    SetRect(built, rect);
    const std::string base = "IMG_" + std::to_string(m_imageCounter);
    const bool overlapped = IsOverlapped(page, index, rect);

    std::string file;
    if (IsAnimatedGifPicture(object)) {
        file = CopyAnimatedGif(object, m_settings.filesFolder, base);
    } else if (const CRegionPixels* pixels = RenderState(renderer, built, &object, rect, 0)) {
        const CExportedImages::CKey key{rect.Width(), rect.Height(),
                                        CExportedImages::PixelHash(*pixels), 0};
        if (const CExportedImages::CFiles* known = m_exported.Find(key)) {
            file = known->normal;
        } else {
            file = WriteItemImage(pixels->Map(), object, rect, overlapped, m_settings.filesFolder,
                                  base);
            if (!file.empty()) m_exported.Add(key, {file, {}});
        }
    }
    built.imageUrl = file.empty() ? std::string() : ImageUrl(page, file);
    return BuildOk;
}

int SiteBuilder::BuildMouseOverImages(BuildPage& page, int index, CRegionRenderer& renderer) {
    BuildItem& built = page.items[static_cast<std::size_t>(index)];
    CPageObject& normal = built.item->Normal();
    CPageObject& over = *built.item->MouseOver();
    const CRect pageRect = PageRect(*page.page);
    const CRect rect = UnionRect(normal.GetRect(), over.GetRect()).Intersect(pageRect);
    if (!AcceptLargeObject(page, normal.GetRect().Intersect(pageRect),
                           over.GetRect().Intersect(pageRect)))
        return BuildCancelled;
    built.number = m_imageCounter;
    SetRect(built, rect);
    built.hasMouseOver = true;
    const std::string normalBase = "IMG_" + std::to_string(m_imageCounter);
    const std::string overBase = "IMG_" + std::to_string(m_imageCounter + 1);
    ++m_imageCounter;
    const bool overlapped = IsOverlapped(page, index, rect);

    const CRegionPixels* normalPixels = RenderState(renderer, built, &normal, rect, 0);
    const CRegionPixels* overPixels = RenderState(renderer, built, &over, rect, 1);
    CExportedImages::CFiles files;
    if (normalPixels && overPixels) {
        const CExportedImages::CKey key{rect.Width(), rect.Height(),
                                        CExportedImages::PixelHash(*normalPixels),
                                        CExportedImages::PixelHash(*overPixels)};
        if (const CExportedImages::CFiles* known = m_exported.Find(key)) {
            files = *known;
        } else {
            files.normal = WriteItemImage(normalPixels->Map(), normal, rect, overlapped,
                                          m_settings.filesFolder, normalBase);
            files.mouseOver = WriteItemImage(overPixels->Map(), over, rect, overlapped,
                                             m_settings.filesFolder, overBase);
            if (!files.normal.empty() && !files.mouseOver.empty()) m_exported.Add(key, files);
        }
    }
    built.imageUrl = files.normal.empty() ? std::string() : ImageUrl(page, files.normal);
    built.mouseOverImageUrl =
        files.mouseOver.empty() ? std::string() : ImageUrl(page, files.mouseOver);
    return BuildOk;
}

bool SiteBuilder::AcceptLargeObject(const BuildPage& page, const CRect& a, const CRect& b) {
    if (!m_settings.largeObjectWarning || !m_ui) return true;
    if (Area(a) <= kLargeObjectArea && Area(b) <= kLargeObjectArea) return true;
    const CDialogText& dialog = CStringTable::Dialog(IDD_LARGE_OBJECTS);
    CChoice choice;
    choice.id = IDD_LARGE_OBJECTS;
    choice.caption = dialog.caption;
    choice.text = CStringTable::FillIn(dialog.text, {cp1252::ToUtf8(page.page->Identifier())});
    choice.buttons = dialog.buttons;
    choice.checkBox = dialog.checkBox;
    const CChoiceResult answer = m_ui->Choose(choice);
    if (answer.checked) m_settings.largeObjectWarning = false;
    // Buttons: "&Afbryd" (stop), "&Fortsæt" (go on); closing the dialog stops.
    return answer.button == 1;
}

void SiteBuilder::ResolveLink(BuildPage& page, BuildItem& built) {
    const CObjectLink* link = built.item->Current().GetLink();
    built.hasLink = link && link->enabled;
    built.linkUrl = built.hasLink ? m_links->Resolve(*link, page) : std::string();
}
