#pragma once
#include "model/BoxObject.h"
#include <memory>

class CObjectLink;

// A visitor counter: one of four pictures at a fixed size, and the number
// that tells this counter apart on the counting service.
class CCounterObject final : public CBoxObject {
public:
    static constexpr int32_t kStyleCount = 4;

    // A new counter (counter tool) around the point: takes the next number
    // from the "CounterID" setting and moves the setting on.
    CCounterObject(int32_t style, DPOINT point);
    // A counter around a stored centre; takes a number like the tool does.
    CCounterObject(int32_t style, double cx, double cy);
    ~CCounterObject() override;

    // The placeholder ReadObject loads into. It takes no number: Load puts
    // the stored one in.
    static std::unique_ptr<CCounterObject> MakeForLoad();

    bool Render(CPixMap& work) override;
    CObjectLink* GetLink() const override { return m_link.get(); }
    std::unique_ptr<CObjectLink> SetLink(std::unique_ptr<CObjectLink> link) override;
    // Draws the style's picture when the object is dirty.
    bool PrepareAndRender(CPixMap& work) override;
    void UpdateHandles() override;
    ObjectKind GetKind() const override { return KIND_COUNTER; }
    int32_t EstimateBytes(double) const override { return 1500; }
    void Save(CByteWriter& writer) const override;
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    void Load(CByteReader& reader, const CStreamVersion& version) override;
    // Exchanges centre and style.
    void SwapGeometry(CPageObject& other) override;

    int32_t GetCounterStyle() const { return m_style; }
    int32_t GetCounterId() const { return m_counterId; }
    // A new style keeps the top-left corner; the box takes the new picture's size.
    void SetCounterStyle(int32_t style);

private:
    struct NoNumber {};
    CCounterObject(int32_t style, DPOINT center, NoNumber);
    bool RenderPicture();
    static int32_t TakeNumber();

    int32_t m_style = 0;
    std::unique_ptr<CObjectLink> m_link;
    int32_t m_counterId = 0;
};
