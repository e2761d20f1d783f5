#include "platform/CQtPrompt.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace dv {

namespace {

constexpr int kDetailLinesShown = 12;

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QStyle::StandardPixmap ToStylePixmap(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QStyle::SP_MessageBoxInformation;
    case PromptIcon::Question:
        return QStyle::SP_MessageBoxQuestion;
    case PromptIcon::Exclamation:
        return QStyle::SP_MessageBoxWarning;
    case PromptIcon::Stop:
        return QStyle::SP_MessageBoxCritical;
    }
    return QStyle::SP_MessageBoxInformation;
}

} // namespace

// The window that asked is the active one (a button of it was pressed); without one, the main
// window. A box over an always-on-top window (the reminder window) is always on top too, or
// it would open behind the window it blocks.
QWidget* CQtPrompt::Owner() const {
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->isVisible()) {
        return active;
    }
    return m_parent ? m_parent() : nullptr;
}

void CQtPrompt::Place(QWidget& box) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &box && window->isVisible() &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
            return;
        }
    }
}

bool CQtPrompt::AskYesNo(const std::string& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(LoadString(kIdsAppTitle)),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, Owner());
    box.setDefaultButton(QMessageBox::No);
    Place(box);
    return box.exec() == QMessageBox::Yes;
}

bool CQtPrompt::AskYesNoWithDetails(const std::string& text,
                                    const std::vector<std::string>& details, PromptIcon icon) {
    QDialog box(Owner());
    box.setObjectName(QStringLiteral("detailsQuestion"));
    box.setWindowTitle(QString::fromStdString(LoadString(kIdsAppTitle)));
    box.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(&box);
    auto* top = new QHBoxLayout;
    auto* image = new QLabel;
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    image->setPixmap(box.style()->standardIcon(ToStylePixmap(icon)).pixmap(iconSize));
    image->setAlignment(Qt::AlignTop);
    top->addWidget(image);
    auto* label = new QLabel(QString::fromStdString(text));
    label->setObjectName(QStringLiteral("questionText"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    top->addWidget(label, 1);
    layout->addLayout(top);

    // One item a line, in a box of bounded height that scrolls: however many lines a text
    // holds, the buttons stay on the screen.
    auto* lines = new QPlainTextEdit;
    lines->setObjectName(QStringLiteral("questionDetails"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QStringList all;
    for (const std::string& line : details) {
        all << QString::fromStdString(line);
    }
    lines->setPlainText(all.join(QLatin1Char('\n')));
    const int lineHeight = lines->fontMetrics().lineSpacing();
    int limit = lineHeight * kDetailLinesShown;
    if (const QScreen* screen = box.screen()) {
        limit = std::min(limit, screen->availableGeometry().height() / 3);
    }
    const int wanted = lineHeight * (static_cast<int>(details.size()) + 1);
    lines->setFixedHeight(std::clamp(wanted, lineHeight * 2, std::max(lineHeight * 2, limit)) +
                          2 * lines->frameWidth());
    lines->setMinimumWidth(lines->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(lines);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    QPushButton* no = buttons->button(QDialogButtonBox::No);
    no->setDefault(true);
    no->setAutoDefault(true);
    buttons->button(QDialogButtonBox::Yes)->setAutoDefault(false);
    layout->addWidget(buttons);
    no->setFocus();
    Place(box);
    return box.exec() == QDialog::Accepted;
}

void CQtPrompt::ShowMessage(const std::string& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(LoadString(kIdsAppTitle)),
                    QString::fromStdString(text), QMessageBox::Ok, Owner());
    Place(box);
    box.exec();
}

} // namespace dv
