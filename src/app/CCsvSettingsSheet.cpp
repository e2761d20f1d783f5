#include "app/CCsvSettingsSheet.h"

#include "app/EditorControls.h"
#include "app/ExportControls.h"
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
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dv {

namespace {

using S = CSettings;

// One edit of a formats page: labelled with a field's name (`field` >= 0) or with `label`; the
// variants of the time column sit in a group of their own.
struct FormatRow {
    int field = -1;
    uint32_t label = 0;
    std::string S::*member = nullptr;
    bool timeVariant = false;
};

QLabel* Buddy(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// The settings of one kind of export and the labels of its pages.
struct Keys {
    uint32_t fieldsPage;
    uint32_t namesPage;
    uint32_t formatsPage;
    uint32_t labels;
    bool S::*removeDelimiter;
    bool S::*namesInFirstRow;
    int32_t S::*delimiter;
    FlagList S::*fields;
    NameList S::*names;
    NumberList S::*order;
    std::vector<FormatRow> formats;
};

const Keys& KeysOf(bool calendarKind) {
    static const Keys calendar{kIdsExpCalendarFields,
                               kIdsExpCalendarFieldNames,
                               kIdsExpCalendarFormats,
                               kIdsExpCalendarFieldLabels,
                               &S::CsvCalendarRemoveDelimiter,
                               &S::CsvCalendarFieldnamesInFirstRow,
                               &S::CsvCalendarFieldDelimiter,
                               &S::CsvCalendarFields,
                               &S::CsvCalendarFieldnames,
                               &S::CsvCalendarFieldorder,
                               {{0, 0, &S::CsvCalendarDate},
                                {1, 0, &S::CsvCalendarWeeknumber},
                                {-1, kIdsExpTimeNormal, &S::CsvCalendarTimeNormal, true},
                                {-1, kIdsExpTimeSingleday, &S::CsvCalendarTimeSingleday, true},
                                {-1, kIdsExpTimeFirst, &S::CsvCalendarTimeMultidayFirst, true},
                                {-1, kIdsExpTimeMid, &S::CsvCalendarTimeMultidayMid, true},
                                {-1, kIdsExpTimeLast, &S::CsvCalendarTimeMultidayLast, true},
                                {4, 0, &S::CsvCalendarCategory},
                                {5, 0, &S::CsvCalendarDescription},
                                {6, 0, &S::CsvCalendarNotes}}};
    static const Keys todo{kIdsExpTodoFields,
                           kIdsExpTodoFieldNames,
                           kIdsExpTodoFormats,
                           kIdsExpTodoFieldLabels,
                           &S::CsvTodoRemoveDelimiter,
                           &S::CsvTodoFieldnamesInFirstRow,
                           &S::CsvTodoFieldDelimiter,
                           &S::CsvTodoFields,
                           &S::CsvTodoFieldnames,
                           &S::CsvTodoFieldorder,
                           {{0, 0, &S::CsvTodoDate},
                            {1, 0, &S::CsvTodoTime},
                            {2, 0, &S::CsvTodoState},
                            {3, 0, &S::CsvTodoPriority},
                            {4, 0, &S::CsvTodoGroup},
                            {5, 0, &S::CsvTodoDescription},
                            {6, 0, &S::CsvTodoNotes},
                            {7, 0, &S::CsvTodoDocument}}};
    return calendarKind ? calendar : todo;
}

} // namespace

CCsvSettingsSheet::CCsvSettingsSheet(const CSettings& settings, IPrompt* prompt, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompt(prompt) {
    setWindowTitle(Text(kIdsCsvExportFormatsTitle));
    pages = new QTabWidget;
    // Every page's name in sight: the sheet is as wide as its tabs.
    pages->setUsesScrollButtons(false);
    BuildKind(calendar, true);
    BuildKind(todo, false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCsvSettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCsvSettingsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}

void CCsvSettingsSheet::BuildKind(KindPages& kind, bool calendarKind) {
    const Keys& keys = KeysOf(calendarKind);
    const QStringList labels = Text(keys.labels).split(QLatin1Char('|'));

    // Fields: which columns, in which order, with which delimiter.
    kind.columns = new CExportFieldList(labels, false);
    auto* columnsBox = new QGroupBox(Text(kIdsExpColumns));
    (new QVBoxLayout(columnsBox))->addWidget(kind.columns);
    auto* delimiterBox = new QGroupBox(Text(kIdsExpDelimiter));
    auto* delimiterLayout = new QVBoxLayout(delimiterBox);
    kind.delimiter = new QButtonGroup(this);
    for (const auto& [text, id] :
         {std::pair{kIdsExpComma, 0}, {kIdsExpSemicolon, 1}, {kIdsExpTab, 2}}) {
        delimiterLayout->addWidget(editor::Radio(kind.delimiter, text, id));
    }
    kind.removeDelimiter = new QCheckBox(Text(kIdsExpRemoveDelimiter));
    kind.namesInFirstRow = new QCheckBox(Text(kIdsExpNamesInFirstRow));
    auto* fieldsLayout = new QGridLayout;
    fieldsLayout->addWidget(columnsBox, 0, 0, 4, 1, Qt::AlignTop);
    fieldsLayout->addWidget(delimiterBox, 0, 1);
    fieldsLayout->addWidget(kind.removeDelimiter, 1, 1);
    fieldsLayout->addWidget(kind.namesInFirstRow, 2, 1);
    fieldsLayout->setRowStretch(3, 1);
    fieldsLayout->setColumnStretch(1, 1);
    const auto showFields = [&kind, &keys](const CSettings& from) {
        kind.columns->SetColumns(from.*keys.fields, from.*keys.order);
        // Any other stored value writes a comma.
        editor::Check(kind.delimiter, from.*keys.delimiter);
        kind.removeDelimiter->setChecked(from.*keys.removeDelimiter);
        kind.namesInFirstRow->setChecked(from.*keys.namesInFirstRow);
    };
    pages->addTab(PageWithDefault(
                      fieldsLayout, [showFields] { showFields(CSettings()); }, &kind.defaults[0]),
                  Text(keys.fieldsPage));

    // Field names: the column heads of the first row.
    auto* namesLayout = new QGridLayout;
    for (int field = 0; field < labels.size(); ++field) {
        auto* edit = new QLineEdit;
        namesLayout->addWidget(Buddy(labels[field] + QLatin1Char(':'), edit), field, 0);
        namesLayout->addWidget(edit, field, 1);
        kind.names.push_back(edit);
    }
    namesLayout->setColumnStretch(1, 1);
    const auto showNames = [&kind, &keys](const CSettings& from) {
        const NameList& names = from.*keys.names;
        for (std::size_t field = 0; field < kind.names.size(); ++field) {
            kind.names[field]->setText(field < names.size() ? QString::fromStdString(names[field])
                                                            : QString());
        }
    };
    pages->addTab(PageWithDefault(
                      namesLayout, [showNames] { showNames(CSettings()); }, &kind.defaults[1]),
                  Text(keys.namesPage));

    // Formats: date-time codes for the date columns, placeholders for the others. The variants
    // of the time column get a box of their own, its labels aligned with the others.
    auto* formatsLayout = new QVBoxLayout;
    auto* columnsGrid = new QGridLayout;
    QGridLayout* timeGrid = nullptr;
    std::vector<QLabel*> formatLabels;
    for (const FormatRow& format : keys.formats) {
        auto* edit = new QLineEdit;
        edit->setMinimumWidth(260);
        kind.formats.push_back(edit);
        QLabel* label = Buddy(
            format.field >= 0 ? labels[format.field] + QLatin1Char(':') : Text(format.label), edit);
        formatLabels.push_back(label);
        QGridLayout* grid = columnsGrid;
        if (format.timeVariant) {
            if (timeGrid == nullptr) {
                auto* timeBox = new QGroupBox(Text(kIdsExpTimeColumn));
                timeGrid = new QGridLayout(timeBox);
                timeGrid->setColumnStretch(1, 1);
                formatsLayout->addWidget(timeBox);
            }
            grid = timeGrid;
        }
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    }
    columnsGrid->setColumnStretch(1, 1);
    if (timeGrid != nullptr) {
        auto* columnsBox = new QGroupBox(Text(kIdsExpOtherColumns));
        columnsBox->setLayout(columnsGrid);
        formatsLayout->insertWidget(0, columnsBox);
        int width = 0;
        for (const QLabel* label : formatLabels) {
            width = std::max(width, label->sizeHint().width());
        }
        columnsGrid->setColumnMinimumWidth(0, width);
        timeGrid->setColumnMinimumWidth(0, width);
    } else {
        formatsLayout->insertLayout(0, columnsGrid);
    }
    const auto showFormats = [&kind, &keys](const CSettings& from) {
        for (std::size_t i = 0; i < keys.formats.size(); ++i) {
            kind.formats[i]->setText(FormatToEdit(from.*keys.formats[i].member));
        }
    };
    pages->addTab(
        PageWithDefault(
            formatsLayout, [showFormats] { showFormats(CSettings()); }, &kind.defaults[2]),
        Text(keys.formatsPage));

    showFields(m_settings);
    showNames(m_settings);
    showFormats(m_settings);
}

bool CCsvSettingsSheet::ReadKind(KindPages& kind, bool calendarKind) {
    const Keys& keys = KeysOf(calendarKind);
    NameList names;
    for (QLineEdit* edit : kind.names) {
        if (edit->text().contains(QLatin1Char(','))) {
            pages->setCurrentWidget(edit->parentWidget());
            edit->setFocus();
            if (m_prompt != nullptr) {
                m_prompt->ShowMessage(
                    FormatString(kIdsExpNameWithComma, edit->text().toStdString()),
                    PromptIcon::Exclamation);
            }
            return false;
        }
        names.push_back(edit->text().toStdString());
    }
    m_settings.*keys.names = names;
    m_settings.*keys.fields = kind.columns->Fields();
    m_settings.*keys.order = kind.columns->Order();
    m_settings.*keys.delimiter = editor::Checked(kind.delimiter);
    m_settings.*keys.removeDelimiter = kind.removeDelimiter->isChecked();
    m_settings.*keys.namesInFirstRow = kind.namesInFirstRow->isChecked();
    for (std::size_t i = 0; i < keys.formats.size(); ++i) {
        m_settings.*keys.formats[i].member = FormatFromEdit(kind.formats[i]->text());
    }
    return true;
}

void CCsvSettingsSheet::accept() {
    if (ReadKind(calendar, true) && ReadKind(todo, false)) {
        QDialog::accept();
    }
}

} // namespace dv
