#pragma once
#include "app/inspector/InspectorTab.h"
#include <functional>

class CObjectLink;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The link window's page: whether the object links, and to a page of the
// site, an e-mail address, a web address (stored without "http://") or a
// document file.
class CLinkTab final : public CInspectorTab {
    Q_OBJECT
public:
    CLinkTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    QCheckBox* UseLink() const { return m_use; }
    QRadioButton* Kind(int type) const;
    QComboBox* PageBox() const { return m_page; }
    QLineEdit* Email() const { return m_email; }
    QLineEdit* Url() const { return m_url; }
    QLineEdit* Document() const { return m_document; }

private:
    void Change(const std::function<void(CObjectLink&)>& change);

    QCheckBox* m_use;
    QButtonGroup* m_kinds;
    QComboBox* m_page;
    QLineEdit* m_email;
    QLineEdit* m_url;
    QLineEdit* m_document;
    QPushButton* m_browse;
};
