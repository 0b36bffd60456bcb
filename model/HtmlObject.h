#pragma once
#include "model/BoxObject.h"
#include <string>
#include <vector>

// A box of the user's own HTML, written in its place on the built page. In
// the editor it shows a placeholder pattern. Texts are Windows-1252 bytes.
class CHtmlObject final : public CBoxObject {
public:
    // Smallest box the HTML tool makes; smaller drags are widened.
    static constexpr int32_t kMinSide = 15;

    // From the box the user dragged (top-left point and size).
    CHtmlObject(DPOINT topLeft, int32_t width, int32_t height);
    // Around a stored centre.
    CHtmlObject(double cx, double cy, int32_t width, int32_t height);

    bool Render(CPixMap& work) override;
    bool CanResize() const override { return true; }
    CObjectSize GetMinSize() const override { return {kMinSide, kMinSide}; }
    using CPageObject::SetSize;
    void SetSize(int32_t width, int32_t height) override;
    // Tiles the placeholder pattern over the box when dirty.
    bool PrepareAndRender(CPixMap& work) override;
    void UpdateHandles() override;
    ObjectKind GetKind() const override { return KIND_HTML; }
    int32_t EstimateBytes(double) const override;
    void Save(CByteWriter& writer) const override;
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    std::unique_ptr<CPageObject> Clone() const override;
    void Load(CByteReader& reader, const CStreamVersion& version) override;
    // Exchanges centre, size, name, the three code strings and the used files.
    void SwapGeometry(CPageObject& other) override;

    const std::string& GetName() const { return m_name; }
    std::string GetOnloadCode() const { return m_onloadCode; }
    std::string GetHeaderCode() const { return m_headerCode; }
    std::string GetBodyCode() const { return m_bodyCode; }
    const std::vector<std::string>& GetUsedFiles() const { return m_usedFiles; }
    void SetName(std::string name) { m_name = std::move(name); }
    void SetCode(std::string onload, std::string header, std::string body);
    void SetUsedFiles(std::vector<std::string> files) { m_usedFiles = std::move(files); }

private:
    std::string m_name;
    std::string m_onloadCode;
    std::string m_headerCode;
    std::string m_bodyCode;
    std::vector<std::string> m_usedFiles;
};
