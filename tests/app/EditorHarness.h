#pragma once

// What the editing tests share: a private folder, a prompt that answers from a queue, file
// dialogs that return queued paths, the settings the editors read and queued category names.

#include "DesktopRig.h"
#include "app/EditorControls.h"
#include "core/Prompt.h"
#include "settings/CSettings.h"

#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace dv::test {

class EditorHarness {
protected:
    std::unique_ptr<QTemporaryDir> m_folder;
    CQueuedPrompt m_prompt;
    QueuedFileDialogs m_dialogs;
    CSettings m_settings;
    std::deque<std::optional<std::string>> m_names;

    EditorServices Services() {
        EditorServices services;
        services.settings = &m_settings;
        services.prompt = &m_prompt;
        services.fileDialogs = &m_dialogs;
        services.askName = [this](const std::string&, const std::string&, const std::string&) {
            auto name = m_names.front();
            m_names.pop_front();
            return name;
        };
        return services;
    }
};

} // namespace dv::test
