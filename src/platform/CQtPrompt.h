#pragma once

#include "core/Prompt.h"

class QWidget;

namespace dv {

/// The desktop program's prompt: modal message boxes titled with the program's name, with the
/// icon that tells the kind of message, above the window that asked. Questions default to No, so that Enter on a warning
/// before a destructive action does not carry it out.
class CQtPrompt final : public IPrompt {
public:
    /// `parent` is the window the boxes belong to (may be null); it is looked up at every call,
    /// so the prompt can be made before the main window exists.
    explicit CQtPrompt(QWidget* (*parent)() = nullptr) : m_parent(parent) {}

    bool AskYesNo(const std::string& text, PromptIcon icon) override;
    /// A dialog with the text above the details in a read-only box of bounded height that
    /// scrolls; No is the default.
    bool AskYesNoWithDetails(const std::string& text, const std::vector<std::string>& details,
                             PromptIcon icon) override;
    void ShowMessage(const std::string& text, PromptIcon icon) override;

private:
    // The window the box belongs to: the one that asked (the active window), else the parent.
    QWidget* Owner() const;
    // Keeps the box above an always-on-top window.
    static void Place(QWidget& box);

    QWidget* (*m_parent)();
};

} // namespace dv
