#include "platform/CQtPrompt.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QMessageBox>
#include <QString>

namespace dv {

namespace {

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

} // namespace

bool CQtPrompt::AskYesNo(const std::string& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(LoadString(kIdsAppTitle)),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent ? m_parent() : nullptr);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void CQtPrompt::ShowMessage(const std::string& text, PromptIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(LoadString(kIdsAppTitle)),
                    QString::fromStdString(text), QMessageBox::Ok,
                    m_parent ? m_parent() : nullptr);
    box.exec();
}

} // namespace dv
