#include "app/CHtmlSettingsSheet.h"

#include "app/EditorControls.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
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

constexpr std::array<uint32_t, 5> kVariantLabels = {kIdsExpTimeNormal, kIdsExpTimeSingleday,
                                                    kIdsExpTimeFirst, kIdsExpTimeMid,
                                                    kIdsExpTimeLast};
constexpr std::array<std::string S::*, 5> kTimeKeys = {
    &S::HtmlCalendarTimeNormal, &S::HtmlCalendarTimeSingleday, &S::HtmlCalendarTimeMultidayFirst,
    &S::HtmlCalendarTimeMultidayMid, &S::HtmlCalendarTimeMultidayLast};
constexpr std::array<std::string S::*, 5> kDescKeys = {
    &S::HtmlCalendarDescNormal, &S::HtmlCalendarDescSingleday, &S::HtmlCalendarDescMultidayFirst,
    &S::HtmlCalendarDescMultidayMid, &S::HtmlCalendarDescMultidayLast};

constexpr std::array<uint32_t, 6> kHeaderLabels = {kIdsExpWeekHeader,       kIdsExpFortnightHeader,
                                                   kIdsExpFirstMonthHeader, kIdsExpMonthHeader,
                                                   kIdsExpListHeader,       kIdsExpWeekNumberHeader};
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

QLineEdit* FormatEdit(const std::string& format) {
    auto* edit = new QLineEdit(FormatToEdit(format));
    edit->setMinimumWidth(200);
    return edit;
}

} // namespace

CHtmlSettingsSheet::CHtmlSettingsSheet(const CSettings& settings, const ExportServices& services,
                                       QWidget* parent)
    : QDialog(parent), m_settings(settings), m_services(services) {
    setWindowTitle(Text(kIdsHtmlExportFormatsTitle));
    pages = new QTabWidget;
    pages->addTab(AppearancePage(), Text(kIdsExpAppearance));
    pages->addTab(CalendarPage(), Text(kIdsExpCalendarFormats));
    pages->addTab(HeaderPage(), Text(kIdsExpHeaderFormats));
    pages->addTab(TemplatesPage(), Text(kIdsExpTemplates));
    todoColumns = new CExportFieldList(Text(kIdsExpTodoFieldLabels).split(QLatin1Char('|')), true);
    todoColumns->SetColumns(m_settings.HtmlTodoFields, m_settings.HtmlTodoFieldorder,
                            m_settings.HtmlTodoFieldnames);
    auto* todoPage = new QWidget;
    auto* todoBox = new QGroupBox(Text(kIdsExpColumns));
    (new QVBoxLayout(todoBox))->addWidget(todoColumns);
    auto* todoLayout = new QVBoxLayout(todoPage);
    todoLayout->addWidget(todoBox);
    todoLayout->addStretch();
    pages->addTab(todoPage, Text(kIdsExpTodos));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHtmlSettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHtmlSettingsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}

QWidget* CHtmlSettingsSheet::AppearancePage() {
    auto* page = new QWidget;
    auto* colorBox = new QGroupBox(Text(kIdsExpDayColors));
    auto* colorGrid = new QGridLayout(colorBox);
    for (int i = 0; i < kColorCount; ++i) {
        m_colors[i] = m_settings.*kColorKeys[i];
        colors[i] = new QPushButton;
        colors[i]->setToolTip(Text(kIdsExpChooseColor));
        colors[i]->setIconSize(QSize(40, 14));
        colorGrid->addWidget(Buddy(kColorLabels[i], colors[i]), i, 0);
        colorGrid->addWidget(colors[i], i, 1, Qt::AlignLeft);
        connect(colors[i], &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
        ShowColor(i);
    }
    colorGrid->setColumnStretch(2, 1);
    colorGrid->setRowStretch(kColorCount, 1);

    auto* markedBox = new QGroupBox(Text(kIdsExpMarkedDates));
    auto* markedLayout = new QVBoxLayout(markedBox);
    markedDates = new QButtonGroup(page);
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedColors, 1));
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedBold, 2));
    markedLayout->addWidget(editor::Radio(markedDates, kIdsExpMarkedPlain, 0));
    markedLayout->addStretch();
    const int marked = m_settings.HtmlMarkedDates;
    markedDates->button(marked == 1 || marked == 2 ? marked : 0)->setChecked(true);

    doneDates = new QCheckBox(Text(kIdsExpDoneDates));
    doneDates->setChecked(m_settings.HtmlDoneDates == 1);
    emptyDates = new QCheckBox(Text(kIdsExpEmptyDates));
    emptyDates->setChecked(m_settings.HtmlEmptyDates == 1);

    auto* grid = new QGridLayout(page);
    grid->addWidget(colorBox, 0, 0, 3, 1);
    grid->addWidget(markedBox, 0, 1);
    grid->addWidget(doneDates, 1, 1);
    grid->addWidget(emptyDates, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* CHtmlSettingsSheet::CalendarPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(Text(kIdsExpTimeColumn)), 0, 1);
    grid->addWidget(new QLabel(Text(kIdsExpDescColumn)), 0, 2);
    for (int i = 0; i < static_cast<int>(kVariantLabels.size()); ++i) {
        QLineEdit* time = FormatEdit(m_settings.*kTimeKeys[i]);
        time->setMinimumWidth(time->fontMetrics().horizontalAdvance(
                                  QStringLiteral("$THIS_STARTTOEND_AUTOTIME$")) +
                              16);
        auto* desc = new QPlainTextEdit(FormatToEdit(m_settings.*kDescKeys[i]));
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
    grid->setRowStretch(static_cast<int>(kVariantLabels.size()) + 1, 1);
    return page;
}

QWidget* CHtmlSettingsSheet::HeaderPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < static_cast<int>(kHeaderKeys.size()); ++i) {
        QLineEdit* edit = FormatEdit(m_settings.*kHeaderKeys[i]);
        headers.push_back(edit);
        grid->addWidget(Buddy(kHeaderLabels[i], edit), i, 0);
        grid->addWidget(edit, i, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(static_cast<int>(kHeaderKeys.size()), 1);
    return page;
}

QWidget* CHtmlSettingsSheet::TemplatesPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < static_cast<int>(kTemplateKeys.size()); ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(m_settings.*kTemplateKeys[i]));
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
    grid->setRowStretch(static_cast<int>(kTemplateKeys.size()), 1);
    return page;
}

void CHtmlSettingsSheet::ChooseColor(int index) {
    std::optional<uint32_t> chosen;
    if (m_services.chooseColor) {
        chosen = m_services.chooseColor(m_colors[index]);
    } else {
        const uint32_t c = m_colors[index];
        const QColor picked = QColorDialog::getColor(
            QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
        if (picked.isValid()) {
            chosen = static_cast<uint32_t>(picked.red()) |
                     (static_cast<uint32_t>(picked.green()) << 8) |
                     (static_cast<uint32_t>(picked.blue()) << 16);
        }
    }
    if (chosen) {
        m_colors[index] = *chosen & 0xFFFFFF;
        ShowColor(index);
    }
}

void CHtmlSettingsSheet::ShowColor(int index) {
    const uint32_t c = m_colors[index];
    QPixmap swatch(40, 14);
    swatch.fill(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    colors[index]->setIcon(QIcon(swatch));
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
