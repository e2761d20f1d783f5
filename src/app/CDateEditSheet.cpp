#include "app/CDateEditSheet.h"

#include "core/EntryChecks.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace dv {

using namespace editor;

// ---- The sheet -------------------------------------------------------------------------------

CDateEditSheet::CDateEditSheet(int mode, const EditorServices& services, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_services(services) {
    setWindowTitle(Text(mode == EditCategories ? kIdsEdTitleCategory
                        : mode == NewEvent     ? kIdsEdTitleNew
                                               : kIdsEdTitleEdit));
    m_tabs = new QTabWidget;
    // Wide enough for a path in the action page's edits beside their buttons.
    m_tabs->setMinimumWidth(m_tabs->fontMetrics().averageCharWidth() * 80);
    m_page1 = new CDateEditPage1(*this, mode, services);
    m_page2 = new CDateEditPage2(mode, services);
    m_page3 = new CDateEditPage3(services);
    m_tabs->addTab(m_page1, Text(kIdsEdPageDescription));
    m_tabs->addTab(m_page2, Text(kIdsEdPageRepetition));
    m_tabs->addTab(m_page3, Text(kIdsEdPageAction));
    // Ctrl+Tab turns the pages from every control: a drop-down list would otherwise take it as
    // a letter to search for.
    const auto turnPages = [this](const QKeySequence& keys, int step) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            const int count = m_tabs->count();
            m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
        });
    };
    turnPages(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    turnPages(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateEditSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDateEditSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

CDateEditSheet::~CDateEditSheet() = default;

void CDateEditSheet::SetData(const DateData& data) {
    m_data = data;
}

void CDateEditSheet::SetTemplates(std::vector<std::unique_ptr<CDateEntry>> templates) {
    m_templates = std::move(templates);
}

void CDateEditSheet::showEvent(QShowEvent* event) {
    if (!m_opened) {
        m_opened = true;
        FillCategoryBox();
        // The data's category, else a template made for it (modes 0 and 1) or just its name.
        const QString name = QString::fromStdString(m_data.Category);
        int item = FindCategory(name);
        if (item < 0) {
            int index = -1;
            if (m_mode != EditEvent) {
                auto made = std::make_unique<CDateEntry>();
                DateData madeData = m_data;
                madeData.GUID = made->GetGUID(); // the new event keeps its own
                made->AssignData(madeData);
                m_templates.push_back(std::move(made));
                index = static_cast<int>(m_templates.size()) - 1;
            }
            item = AddCategoryItem(name, index);
        }
        SelectBoxEntry(item);
        ShowAll();
        m_page1->description->setFocus();
    }
    QDialog::showEvent(event);
}

void CDateEditSheet::FillCategoryBox() {
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    box->clear();
    for (int i = 0; i < static_cast<int>(m_templates.size()); ++i) {
        AddCategoryItem(QString::fromStdString(m_templates[i]->GetData().Category), i);
    }
}

int CDateEditSheet::AddCategoryItem(const QString& name, int templateIndex) {
    // The box keeps its entries in the platform's case-insensitive order.
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    int position = 0;
    while (position < box->count() &&
           QString::compare(box->itemText(position), name, Qt::CaseInsensitive) <= 0) {
        ++position;
    }
    box->insertItem(position, name, templateIndex);
    return position;
}

int CDateEditSheet::FindCategory(const QString& name) const {
    const QComboBox* box = m_page1->categoryBox;
    for (int i = 0; i < box->count(); ++i) {
        if (QString::compare(box->itemText(i), name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void CDateEditSheet::SelectBoxEntry(int boxIndex) {
    QComboBox* box = m_page1->categoryBox;
    const QSignalBlocker block(box);
    box->setCurrentIndex(boxIndex);
    m_selectedItem = boxIndex;
    m_selectedTemplate = boxIndex >= 0 ? box->itemData(boxIndex).toInt() : -1;
}

void CDateEditSheet::StoreAll() {
    m_page1->StoreData(m_data);
    m_page2->StoreData(m_data);
    m_page3->StoreData(m_data);
    // Weekly on several ticked weekdays, in the form the record holds.
    FoldWeeklyWeekdays(m_data);
}

void CDateEditSheet::ShowAll() {
    m_page1->ShowData(m_data);
    m_page2->ShowData(m_data);
    m_page3->ShowData(m_data);
}

void CDateEditSheet::CategorySelected(int boxIndex) {
    QComboBox* box = m_page1->categoryBox;
    if (boxIndex == m_selectedItem) {
        return; // chosen again: nothing to take over
    }
    if (m_mode == EditCategories && m_selectedTemplate >= 0) {
        // The template left behind keeps what was edited in it.
        StoreAll();
        m_data.Category = box->itemText(m_selectedItem).toStdString();
        m_templates[m_selectedTemplate]->SetData(m_data);
    }
    const CDateTime start = PickedDateTime(m_page1->startDate, m_page1->startTime);
    const CDateTime end = PickedDateTime(m_page1->endDate, m_page1->endTime);
    SelectBoxEntry(boxIndex);
    if (m_mode == EditEvent || m_selectedTemplate < 0) {
        m_data.Category = box->itemText(boxIndex).toStdString();
        m_page1->StoreData(m_data);
        return;
    }
    StoreAll();
    m_data = m_templates[m_selectedTemplate]->GetData();
    if (m_mode == NewEvent) {
        // A new event keeps the days the user chose; the times of day are the template's.
        m_data.StartDate.SetDate(start.GetYear(), start.GetMonth(), start.GetDay());
        m_data.EndDate.SetDate(end.GetYear(), end.GetMonth(), end.GetDay());
        m_data.RepeatEndDate.SetDate(start.GetYear(), start.GetMonth(), start.GetDay());
    }
    ShowAll();
}

std::optional<std::string> CDateEditSheet::AskName(uint32_t title, uint32_t label,
                                                   const std::string& proposal) {
    if (m_services.askName) {
        return m_services.askName(LoadString(title), LoadString(label), proposal);
    }
    bool ok = false;
    const QString name = QInputDialog::getText(this, Text(title), Text(label), QLineEdit::Normal,
                                               QString::fromStdString(proposal), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return name.toStdString();
}

bool CDateEditSheet::NameIsFree(const std::string& name) {
    if (FindCategory(QString::fromStdString(name)) < 0) {
        return true;
    }
    if (m_services.prompt != nullptr) {
        m_services.prompt->ShowMessage(FormatString(kIdsEdCategoryExists, name), PromptIcon::Stop);
    }
    return false;
}

void CDateEditSheet::NewCategory() {
    const auto name =
        AskName(kIdsEdNewCategoryTitle, kIdsEdNewCategoryPrompt, LoadString(kIdsEdNewCategoryName));
    if (!name || name->empty() || !NameIsFree(*name)) {
        return;
    }
    StoreAll();
    if (m_selectedTemplate >= 0) {
        m_templates[m_selectedTemplate]->SetData(m_data);
    }
    m_data = m_templates.front()->GetData();
    m_data.Category = *name;
    // A record of its own: the copy of the first template must not keep that one's identity.
    auto made = std::make_unique<CDateEntry>();
    m_data.GUID = made->GetGUID();
    made->AssignData(m_data);
    m_templates.push_back(std::move(made));
    SelectBoxEntry(
        AddCategoryItem(QString::fromStdString(*name), static_cast<int>(m_templates.size()) - 1));
    ShowAll();
}

void CDateEditSheet::RenameCategory() {
    QComboBox* box = m_page1->categoryBox;
    const auto name = AskName(kIdsEdRenameCategoryTitle, kIdsEdRenameCategoryPrompt,
                              box->currentText().toStdString());
    if (!name || name->empty() || !NameIsFree(*name)) {
        return;
    }
    m_data.Category = *name;
    const int templateIndex = m_selectedTemplate;
    {
        const QSignalBlocker block(box);
        box->removeItem(m_selectedItem);
    }
    SelectBoxEntry(AddCategoryItem(QString::fromStdString(*name), templateIndex));
}

void CDateEditSheet::DeleteCategory() {
    if (m_selectedTemplate == 0) {
        if (m_services.prompt != nullptr) {
            m_services.prompt->ShowMessage(LoadString(kIdsEdNoDeleteDefaultCategory),
                                           PromptIcon::Stop);
        }
        return;
    }
    if (m_selectedTemplate < 0) {
        return;
    }
    const int position = m_selectedItem;
    m_templates.erase(m_templates.begin() + m_selectedTemplate);
    FillCategoryBox();
    SelectBoxEntry(std::max(0, position - 1));
    m_data = m_templates[m_selectedTemplate]->GetData();
    ShowAll();
}

void CDateEditSheet::accept() {
    StoreAll();
    if (m_mode != EditCategories) {
        const auto refuse = [this](uint32_t message, int page, QWidget* focus) {
            if (m_services.prompt != nullptr) {
                m_services.prompt->ShowMessage(LoadString(message), PromptIcon::Exclamation);
            }
            m_tabs->setCurrentIndex(page);
            focus->setFocus();
        };
        switch (CheckEventData(m_data)) {
        case EventCheck::MissingDescription:
            refuse(kIdsNeedDescriptionOrStart, 0, m_page1->description);
            return;
        case EventCheck::NeverOccurs:
            refuse(kIdsEdNeverOccurs, 1, m_page2->weekdays.front());
            return;
        case EventCheck::WeekdaysNeedWeekly:
            refuse(kIdsEdWeekdaysNeedWeekly, 1, m_page2->rate);
            return;
        case EventCheck::EndBeforeFirstOccurrence:
            refuse(kIdsEdEndBeforeFirst, 1, m_page2->endDate);
            return;
        case EventCheck::Ok:
            break;
        }
    }
    QDialog::accept();
}

} // namespace dv
