#include "app/IFileDialogs.h"

#include <QFileDialog>
#include <vector>

namespace dv {

std::string CQtFileDialogs::ToQtFilter(const std::string& filter) {
    // The labels are what the user sees; Qt takes the patterns from the brackets of the label,
    // so a label is rebuilt from its text and its own pattern list.
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < filter.size()) {
        const auto bar = filter.find('|', start);
        const std::string part = filter.substr(start, bar == std::string::npos ? bar : bar - start);
        if (part.empty()) {
            break;
        }
        parts.push_back(part);
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string label = parts[i];
        if (const auto open = label.find(" ("); open != std::string::npos) {
            label.erase(open);
        }
        std::string patterns = parts[i + 1];
        for (char& c : patterns) {
            c = c == ';' ? ' ' : c;
        }
        if (patterns == "*.*") {
            patterns = "*";
        }
        result += (result.empty() ? "" : ";;") + label + " (" + patterns + ")";
    }
    return result;
}

std::optional<std::filesystem::path> CQtFileDialogs::OpenFile(QWidget* parent,
                                                              const std::string& filter) {
    return OpenFileFrom(parent, filter, {});
}

std::optional<std::filesystem::path>
CQtFileDialogs::OpenFileFrom(QWidget* parent, const std::string& filter, const std::string& start) {
    // The open dialog accepts only a file that exists.
    const QString name = QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(start),
                                                      QString::fromStdString(ToQtFilter(filter)));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(name.toStdString());
}

std::optional<std::filesystem::path>
CQtFileDialogs::SaveFile(QWidget* parent, const std::string& filter, const std::string& suffix) {
    QFileDialog dialog(parent, QString(), QString(), QString::fromStdString(ToQtFilter(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

} // namespace dv
