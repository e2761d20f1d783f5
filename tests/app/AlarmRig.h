#pragma once

// A scheduler with a document, a fixed clock and recording fakes of the main window, the
// launcher and the sound player, for the tests of the alarm side.

#include "app/CAlarmScheduler.h"
#include "app/IAlarmFrame.h"
#include "core/CDateEntry.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "platform/ILauncher.h"
#include "platform/ISoundPlayer.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dvtest {

class FakeAlarmFrame final : public dv::IAlarmFrame {
public:
    void SetTrayIcon(dv::TrayIconKind kind) override { icons.push_back(kind); }
    void SetTrayTooltip(const std::string& text) override { tooltip = text; }
    QWidget* MainWindow() override { return &mainWindow; }
    bool IsMainWindowHidden() const override { return hidden; }
    int& BusyState() override { return busy; }
    void EditEvent(dv::CDateEntry* event) override { edited.push_back(event); }
    void DeleteEvent(dv::CDateEntry* event) override {
        deleted.push_back(event->GetGUID());
        if (document != nullptr) {
            document->DeleteDateEntry(event, dv::kEditInteractive);
        }
    }
    void ShowNotification(const std::string& title, const std::string& text) override {
        notifications.emplace_back(title, text);
    }

    std::vector<dv::TrayIconKind> icons;
    std::string tooltip;
    QWidget mainWindow;
    bool hidden = false;
    int busy = 0;
    std::vector<dv::CDateEntry*> edited;
    std::vector<std::string> deleted;
    std::vector<std::pair<std::string, std::string>> notifications;
    dv::CDayvaultDoc* document = nullptr;
};

class RecordingLauncher final : public dv::ILauncher {
public:
    bool OpenDocument(const std::string& document) override {
        opened.push_back(document);
        return succeed;
    }
    bool RunCommand(const std::string& command, const std::string& parameters) override {
        ran.push_back(command + "|" + parameters);
        return succeed;
    }
    std::vector<std::string> opened;
    std::vector<std::string> ran;
    bool succeed = true;
};

class RecordingSoundPlayer final : public dv::ISoundPlayer {
public:
    void Play(const std::string& file) override { played.push_back(file); }
    std::vector<std::string> played;
};

/// Everything a scheduler needs; the clock starts on Monday 2 March 2026, 09:00.
struct AlarmRig {
    explicit AlarmRig(const std::filesystem::path& approvals = {})
        : clock(std::make_shared<dv::CFixedClock>(dv::CDateTime(2026, 3, 2, 9, 0, 0))),
          scope(clock),
          scheduler(frame, settings, window, prompt, launcher, sound, approvals) {
        frame.document = &document;
        scheduler.SetDocument(&document);
    }
    ~AlarmRig() { scheduler.Stop(); }

    /// A new event, made as the editor makes one, starting at `start` and lasting an hour; a
    /// reminder `forewarnMinutes` ahead (none when negative). `edit` adjusts the data.
    dv::CDateEntry* AddEvent(const dv::CDateTime& start, int forewarnMinutes,
                             const std::function<void(dv::DateData&)>& edit = {}) {
        const dv::CDateTime now = dv::CDateTime::Now();
        auto event = std::make_unique<dv::CDateEntry>(now);
        event->UpdateReminders(now);
        dv::DateData data = event->GetData();
        data.Description = "Event " + std::to_string(document.GetDateEntryCount() + 1);
        data.StartDate = start;
        data.EndDate = start + dv::CDateTimeSpan(3600);
        data.Forewarn = forewarnMinutes >= 0 ? 1 : 0;
        data.ForewarnSpan = forewarnMinutes >= 0 ? forewarnMinutes : 0;
        data.ForewarnUnit = 0;
        if (edit) {
            edit(data);
        }
        event->SetData(data, now);
        dv::CDateEntry* raw = event.get();
        document.AddDateEntry(std::move(event), dv::kEditInteractive);
        return raw;
    }

    void SetTime(int day, int hour, int minute, int second = 0) {
        clock->Set(dv::CDateTime(2026, 3, day, hour, minute, second));
    }

    /// One timer tick, then the reminder window's refresh that it posts.
    void Tick() {
        scheduler.Tick();
        QCoreApplication::processEvents();
    }

    std::shared_ptr<dv::CFixedClock> clock;
    dv::CScopedClock scope;
    dv::CDayvaultDoc document;
    dv::CSettings settings;
    dv::CWindowSettings window;
    dv::CQueuedPrompt prompt;
    FakeAlarmFrame frame;
    RecordingLauncher launcher;
    RecordingSoundPlayer sound;
    dv::CAlarmScheduler scheduler;
};

} // namespace dvtest
