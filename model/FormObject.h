#pragma once
#include "model/BoxObject.h"
#include <string>

// The ready-made mail form: a fixed picture in the editor, and in the built
// page a form whose contents the form-mail service sends to `receiver`.
class CFormObject final : public CBoxObject {
public:
    // Where the form posts to (see docs/form-mail.md).
    static constexpr const char* kFormMailAction =
        "https://formmail.pagewright.example/Scripts/Formular1DK.php4";

    // A new form (form tool) around the point.
    CFormObject(std::string receiver, DPOINT point);
    // Around a stored centre.
    CFormObject(std::string receiver, double cx, double cy);

    bool Render(CPixMap& work) override;
    // Draws the form picture when dirty.
    bool PrepareAndRender(CPixMap& work) override;
    void UpdateHandles() override;
    ObjectKind GetKind() const override { return KIND_FORM; }
    int32_t EstimateBytes(double) const override { return 1000; }
    void Save(CByteWriter& writer) const override;
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    void Load(CByteReader& reader, const CStreamVersion& version) override;
    // Exchanges centre and receiver.
    void SwapGeometry(CPageObject& other) override;

    const std::string& GetReceiver() const { return m_receiver; }
    void SetReceiver(std::string receiver) { m_receiver = std::move(receiver); }

    // The form's HTML, one line per field, each ending in a line feed
    // (Windows-1252 bytes, like the rest of the page).
    std::string GetFormHtml() const;

private:
    bool RenderPicture();

    std::string m_receiver;
};
