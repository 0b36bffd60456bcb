#include "model/PageScale.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/UndoSnapshots.h"
#include <algorithm>
#include <new>

namespace {

std::unique_ptr<CPageObject> ScaledObject(const CPageObject& object, int scale) {
    std::unique_ptr<CPageObject> c = CopyObject(object);
    if (c) c->ScaleBy(scale);
    return c;
}

// The item with both states copied and scaled, drawing through `tiles`.
std::unique_ptr<CPageItem> ScaledItem(const CPageItem& item, int scale, CPixMap* tiles) {
    std::unique_ptr<CPageObject> normal = ScaledObject(item.Normal(), scale);
    if (!normal) return nullptr;
    auto twin = std::make_unique<CPageItem>(std::move(normal), tiles);
    if (const CPageObject* mouseOver = item.MouseOver()) {
        std::unique_ptr<CPageObject> other = ScaledObject(*mouseOver, scale);
        if (!other) return nullptr;
        twin->AttachMouseOver(std::move(other));
        twin->SetEditingMouseOver(item.IsEditingMouseOver());
    }
    return twin;
}

} // namespace

bool CPage::ReplaceScaledItem(std::size_t index, const CPageItem& from, int scale) {
    if (index >= m_items.size()) return false;
    scale = std::clamp(scale, 1, static_cast<int>(CEffects::kMaxScale));
    auto twin = ScaledItem(from, scale, &m_tileBuffer);
    if (!twin) return false;
    m_items[index] = std::move(twin);
    return true;
}

std::unique_ptr<CPage> CPage::ScaledCopy(int scale) const {
    scale = std::clamp(scale, 1, static_cast<int>(CEffects::kMaxScale));
    auto copy = std::make_unique<CPage>(*m_site, m_identifier, m_webName);
    // Set directly: the setters would tell the site that something changed.
    copy->m_frontPage = m_frontPage;
    copy->m_width = m_width * scale;
    copy->m_height = m_height * scale;
    auto background = std::make_unique<CBackgroundFill>(*m_background);
    background->SetWidth(copy->m_width);
    background->SetHeight(copy->m_height);
    background->SetPictureScale(background->PictureScale() * scale);
    copy->m_background = std::move(background);

    copy->m_items.reserve(m_items.size());
    for (const auto& item : m_items) {
        auto twin = ScaledItem(*item, scale, &copy->m_tileBuffer);
        if (!twin) return nullptr;
        copy->m_items.push_back(std::move(twin));
    }
    return copy;
}

namespace pw {

std::unique_ptr<CPage> ScaledPageCopy(const CPage& page, int scale) {
    try {
        return page.ScaledCopy(scale);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace pw
