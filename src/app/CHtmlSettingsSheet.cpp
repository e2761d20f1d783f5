#include "app/CHtmlSettingsSheet.h"

#include "app/ColorChoice.h"
#include "app/EditorControls.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dv {

namespace {

using S = CSettings;

constexpr std::array<uint32_t S::*, CHtmlSettingsSheet::kColorCount> kColorKeys = {
    &S::HtmlNormalColor, &S::HtmlHolidayColor, &S::HtmlSaturdayColor, &S::HtmlSundayColor,
    &S::HtmlTableHeaderColor};
constexpr std::array<uint32_t, CHtmlSettingsSheet::kColorCount> kColorLabels = {
    kIdsExpNormalColor, kIdsExpHolidayColor, kIdsExpSaturdayColor, kIdsExpSundayColor,
    kIdsExpTableHeaderColor};

constexpr std::array<uint32_t, 5> kVariantLabels = {
    kIdsExpTimeNormal, kIdsExpTimeSingleday, kIdsExpTimeFirst, kIdsExpTimeMid, kIdsExpTimeLast};
constexpr std::array<std::string S::*, 5> kTimeKeys = {
    &S::HtmlCalendarTimeNormal, &S::HtmlCalendarTimeSingleday, &S::HtmlCalendarTimeMultidayFirst,
    &S::HtmlCalendarTimeMultidayMid, &S::HtmlCalendarTimeMultidayLast};
constexpr std::array<std::string S::*, 5> kDescKeys = {
    &S::HtmlCalendarDescNormal, &S::HtmlCalendarDescSingleday, &S::HtmlCalendarDescMultidayFirst,
    &S::HtmlCalendarDescMultidayMid, &S::HtmlCalendarDescMultidayLast};

constexpr std::array<uint32_t, 6> kHeaderLabels = {
    kIdsExpWeekHeader,  kIdsExpFortnightHeader, kIdsExpFirstMonthHeader,
    kIdsExpMonthHeader, kIdsExpListHeader,      kIdsExpWeekNumberHeader};
constexpr std::array<std::string S::*, 6> kHeaderKeys = {
    &S::HtmlWeekViewHeader,  &S::HtmlFortnightViewHeader, &S::HtmlFirstMonthViewHeader,
    &S::HtmlMonthViewHeader, &S::HtmlListViewHeader,      &S::HtmlWeekDisplayHeader};

constexpr std::array<uint32_t, 5> kTemplateLabels = {kIdsExpTodoTemplate, kIdsExpWeekHeader,
                                                     kIdsExpFortnightHeader, kIdsExpMonthHeader,
                                                     kIdsExpListHeader};
constexpr std::array<std::string S::*, 5> kTemplateKeys = {
    &S::HtmlTemplateTodo, &S::HtmlTemplateWeek, &S::HtmlTemplateFortnight, &S::HtmlTemplateMonth,
    &S::HtmlTemplateList};

QLabel* Buddy(uint32_t id, QWidget* buddy) {
    auto* label = new QLabel(Text(id));
    label->setBuddy(buddy);
    return label;
}

} // namespace

CHtmlSettingsSheet::CHtmlSettingsSheet(const CSettings& settings, const ExportServices& services,
                                       QWidget* parent)
    : QDialog(parent), m_settings(settings), m_services(services) {
    setWindowTitle(Text(kIdsHtmlExportFormatsTitle));
    pages = new QTabWidget;
    todoColumns = new CExportFieldList(Text(kIdsExpTodoFieldLabels).split(QLatin1Char('|')), true);
    auto* todoLayout = new QVBoxLayout;
    auto* todoBox = new QGroupBox(Text(kIdsExpColumns));
    (new QVBoxLayout(todoBox))->addWidget(todoColumns);
    todoLayout->addWidget(todoBox);
    const std::pair<QLayout*, uint32_t> contents[kPageCount] = {
        {AppearancePage(), kIdsExpAppearance},
        {CalendarPage(), kIdsExpCalendarFormats},
        {HeaderPage(), kIdsExpHeaderFormats},
        {TemplatesPage(), kIdsExpTemplates},
        {todoLayout, kIdsExpTodos}};
    for (int page = 0; page < kPageCount; ++page) {
        pages->addTab(
            PageWithDefault(
                contents[page].first, [this, page] { Show(page, CSettings()); }, &defaults[page]),
            Text(contents[page].second));
    }
    for (int page = 0; page < kPageCount; ++page) {
        Show(page, m_settings);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHtmlSettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHtmlSettingsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}

QLayout* CHtmlSettingsSheet::AppearancePage() {
    auto* colorBox = new QGroupBox(Text(kIdsExpDayColors));
    auto* colorGrid = new QGridLayout(colorBox);
    for (int i = 0; i < kColorCount; ++i) {
        colors[i] = new QPushButton;
        colors[i]->setToolTip(Text(kIdsExpChooseColor));
        colors[i]->setIconSize(QSize(40, 14));
        colorGrid->addWidget(Buddy(kColorLabels[i], colors[i]), i, 0);
        colorGrid->addWidget(colors[i], i, 1, Qt::AlignLeft);
        connect(colors[i], &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
    }
    colorGrid->setColumnStretch(2, 1);
    colorGrid->setRowStretch(kColorCount, 1);

    auto* markedBox = new QGroupBox(Text(kIdsExpMarkedDates));
    auto* markedLayout = new QVBoxLayout(markedBox);
    markedDates = new QButtonGroup(this);
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedColors, 1));
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedBold, 2));
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedPlain, 0));
    markedLayout->addStretch();
    doneDates = new QCheckBox(Text(kIdsExpDoneDates));
    emptyDates = new QCheckBox(Text(kIdsExpEmptyDates));

    auto* grid = new QGridLayout;
    grid->addWidget(colorBox, 0, 0, 3, 1);
    grid->addWidget(markedBox, 0, 1);
    grid->addWidget(doneDates, 1, 1);
    grid->addWidget(emptyDates, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
    return grid;
}

QLayout* CHtmlSettingsSheet::CalendarPage() {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(Text(kIdsExpTimeColumn)), 0, 1);
    grid->addWidget(new QLabel(Text(kIdsExpDescColumn)), 0, 2);
    for (int i = 0; i < static_cast<int>(kVariantLabels.size()); ++i) {
        auto* time = new QLineEdit;
        time->setMinimumWidth(
            time->fontMetrics().horizontalAdvance(QStringLiteral("$THIS_STARTTOEND_AUTOTIME$")) +
            16);
        auto* desc = new QPlainTextEdit;
        desc->setTabChangesFocus(true);
        desc->setFixedHeight(desc->fontMetrics().lineSpacing() * 2 + 12);
        desc->setMinimumWidth(220);
        timeFormats.push_back(time);
        descFormats.push_back(desc);
        QLabel* label = Buddy(kVariantLabels[i], time);
        // Level with the text of the time edit beside it.
        label->setContentsMargins(0, (time->sizeHint().height() - label->sizeHint().height()) / 2,
                                  0, 0);
        grid->addWidget(label, i + 1, 0, Qt::AlignTop);
        grid->addWidget(time, i + 1, 1, Qt::AlignTop);
        grid->addWidget(desc, i + 1, 2);
    }
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 3);
    return grid;
}

QLayout* CHtmlSettingsSheet::HeaderPage() {
    auto* grid = new QGridLayout;
    for (int i = 0; i < static_cast<int>(kHeaderKeys.size()); ++i) {
        auto* edit = new QLineEdit;
        edit->setMinimumWidth(200);
        headers.push_back(edit);
        grid->addWidget(Buddy(kHeaderLabels[i], edit), i, 0);
        grid->addWidget(edit, i, 1);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout* CHtmlSettingsSheet::TemplatesPage() {
    auto* grid = new QGridLayout;
    for (int i = 0; i < static_cast<int>(kTemplateKeys.size()); ++i) {
        auto* edit = new QLineEdit;
        edit->setMinimumWidth(320);
        auto* button = new QPushButton(Text(kIdsExpBrowse));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
        templates.push_back(edit);
        templateBrowse.push_back(button);
        grid->addWidget(Buddy(kTemplateLabels[i], edit), i, 0);
        grid->addWidget(edit, i, 1);
        grid->addWidget(button, i, 2);
        connect(button, &QPushButton::clicked, this, [this, edit] {
            if (m_services.fileDialogs == nullptr) {
                return;
            }
            // A relative path is shown from the program folder, where the export takes it.
            std::filesystem::path start = edit->text().toStdString();
            if (!start.empty() && start.is_relative()) {
                start = m_services.programFolder / start;
            }
            if (const auto path = m_services.fileDialogs->OpenFileFrom(
                    this, LoadString(kIdsHtmlFilesFilter), start.string())) {
                edit->setText(QString::fromStdString(path->string()));
            }
        });
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

void CHtmlSettingsSheet::Show(int page, const CSettings& from) {
    switch (page) {
    case 0: {
        for (int i = 0; i < kColorCount; ++i) {
            m_colors[i] = from.*kColorKeys[i];
            ShowColor(i);
        }
        // Any other stored value writes nothing marked.
        const int marked = from.HtmlMarkedDates;
        markedDates->button(marked == 1 || marked == 2 ? marked : 0)->setChecked(true);
        doneDates->setChecked(from.HtmlDoneDates == 1);
        emptyDates->setChecked(from.HtmlEmptyDates == 1);
        break;
    }
    case 1:
        for (std::size_t i = 0; i < kTimeKeys.size(); ++i) {
            timeFormats[i]->setText(FormatToEdit(from.*kTimeKeys[i]));
            descFormats[i]->setPlainText(FormatToEdit(from.*kDescKeys[i]));
        }
        break;
    case 2:
        for (std::size_t i = 0; i < kHeaderKeys.size(); ++i) {
            headers[i]->setText(QString::fromStdString(from.*kHeaderKeys[i]));
        }
        break;
    case 3:
        for (std::size_t i = 0; i < kTemplateKeys.size(); ++i) {
            templates[i]->setText(QString::fromStdString(from.*kTemplateKeys[i]));
        }
        break;
    default:
        todoColumns->SetColumns(from.HtmlTodoFields, from.HtmlTodoFieldorder,
                                from.HtmlTodoFieldnames);
        break;
    }
}

void CHtmlSettingsSheet::ChooseColor(int index) {
    std::optional<uint32_t> chosen;
    if (m_services.chooseColor) {
        chosen = m_services.chooseColor(m_colors[index]);
    } else {
        chosen = ChooseColorRef(this, m_colors[index]);
    }
    if (chosen) {
        m_colors[index] = *chosen & 0xFFFFFF;
        ShowColor(index);
    }
}

void CHtmlSettingsSheet::ShowColor(int index) {
    ShowColorSwatch(colors[index], m_colors[index]);
}

void CHtmlSettingsSheet::accept() {
    const NameList names = todoColumns->Names();
    for (const std::string& name : names) {
        if (name.find(',') != std::string::npos) {
            pages->setCurrentIndex(pages->count() - 1);
            todoColumns->name->setFocus();
            if (m_services.prompt != nullptr) {
                m_services.prompt->ShowMessage(FormatString(kIdsExpNameWithComma, name),
                                               PromptIcon::Exclamation);
            }
            return;
        }
    }
    for (int i = 0; i < kColorCount; ++i) {
        m_settings.*kColorKeys[i] = m_colors[i];
    }
    m_settings.HtmlDoneDates = doneDates->isChecked() ? 1 : 0;
    m_settings.HtmlMarkedDates = editor::Checked(markedDates);
    m_settings.HtmlEmptyDates = emptyDates->isChecked() ? 1 : 0;
    for (std::size_t i = 0; i < kTimeKeys.size(); ++i) {
        m_settings.*kTimeKeys[i] = FormatFromEdit(timeFormats[i]->text());
        m_settings.*kDescKeys[i] = FormatFromEdit(descFormats[i]->toPlainText());
    }
    for (std::size_t i = 0; i < kHeaderKeys.size(); ++i) {
        m_settings.*kHeaderKeys[i] = headers[i]->text().toStdString();
    }
    for (std::size_t i = 0; i < kTemplateKeys.size(); ++i) {
        m_settings.*kTemplateKeys[i] = templates[i]->text().toStdString();
    }
    m_settings.HtmlTodoFields = todoColumns->Fields();
    m_settings.HtmlTodoFieldorder = todoColumns->Order();
    m_settings.HtmlTodoFieldnames = names;
    QDialog::accept();
}

} // namespace dv
