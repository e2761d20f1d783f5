#pragma once

#include "app/CDateEditPage1.h"
#include "app/CDateEditPage2.h"
#include "app/CDateEditPage3.h"
#include "app/EditorControls.h"
#include "core/CDateEntry.h"
#include "core/DateData.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTabWidget;

namespace dv {

/// The event editor: mode 0 edits the category templates, mode 1 enters a new event, mode 2
/// edits an existing one. All three pages work on one DateData that the sheet holds.
class CDateEditSheet final : public QDialog {
    Q_OBJECT
public:
    enum Mode { EditCategories = 0, NewEvent = 1, EditEvent = 2 };

    CDateEditSheet(int mode, const EditorServices& services, QWidget* parent = nullptr);
    ~CDateEditSheet() override;

    /// The working data and the templates the category box offers; call both before exec().
    void SetData(const DateData& data);
    void SetTemplates(std::vector<std::unique_ptr<CDateEntry>> templates);
    const DateData& GetData() const { return m_data; }
    /// The template list, with what the sheet added or removed.
    std::vector<std::unique_ptr<CDateEntry>>& Templates() { return m_templates; }
    int SelectedTemplate() const { return m_selectedTemplate; }

    int Mode() const { return m_mode; }
    QTabWidget* Pages() const { return m_tabs; }
    CDateEditPage1* Page1() const { return m_page1; }
    CDateEditPage2* Page2() const { return m_page2; }
    CDateEditPage3* Page3() const { return m_page3; }

    // The category box's operations (the buttons of page 1).
    void CategorySelected(int boxIndex);
    void NewCategory();
    void RenameCategory();
    void DeleteCategory();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillCategoryBox();
    int AddCategoryItem(const QString& name, int templateIndex);
    int FindCategory(const QString& name) const;
    void SelectBoxEntry(int boxIndex);
    void StoreAll();
    void ShowAll();
    bool NameIsFree(const std::string& name);
    std::optional<std::string> AskName(uint32_t title, uint32_t label, const std::string& proposal);

    int m_mode;
    EditorServices m_services;
    DateData m_data;
    std::vector<std::unique_ptr<CDateEntry>> m_templates;
    int m_selectedItem = -1;
    int m_selectedTemplate = -1;
    bool m_opened = false;

    QTabWidget* m_tabs = nullptr;
    CDateEditPage1* m_page1 = nullptr;
    CDateEditPage2* m_page2 = nullptr;
    CDateEditPage3* m_page3 = nullptr;
};

} // namespace dv
