#pragma once

#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace dv {

/// The file dialogs of the main window's commands, so that tests can answer them.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;

    /// Asks for an existing file to read. `filter` is in the string table's form
    /// ("label|pattern|...||"). nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> OpenFile(QWidget* parent,
                                                          const std::string& filter) = 0;
    /// As OpenFile, the dialog starting at `start` (a file or folder; empty: anywhere).
    virtual std::optional<std::filesystem::path>
    OpenFileFrom(QWidget* parent, const std::string& filter, const std::string& /*start*/) {
        return OpenFile(parent, filter);
    }
    /// Asks for a file to write, `suffix` (without the dot) added when the name has none.
    virtual std::optional<std::filesystem::path>
    SaveFile(QWidget* parent, const std::string& filter, const std::string& suffix) = 0;

protected:
    IFileDialogs() = default;
    IFileDialogs(const IFileDialogs&) = default;
    IFileDialogs& operator=(const IFileDialogs&) = default;
};

/// The desktop's own file dialogs.
class CQtFileDialogs final : public IFileDialogs {
public:
    std::optional<std::filesystem::path> OpenFile(QWidget* parent,
                                                  const std::string& filter) override;
    std::optional<std::filesystem::path> OpenFileFrom(QWidget* parent, const std::string& filter,
                                                      const std::string& start) override;
    std::optional<std::filesystem::path> SaveFile(QWidget* parent, const std::string& filter,
                                                  const std::string& suffix) override;

    /// A filter of the string table ("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||") in the
    /// form of Qt's file dialogs ("Text Files (*.txt);;All Files (*)").
    static std::string ToQtFilter(const std::string& filter);
};

} // namespace dv
