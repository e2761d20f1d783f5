// What the desktop tests that start the whole program share: file dialogs answered from a queue,
// a step run on the next modal window, clicks and typing as a user does them, and the program's
// folders inside a temporary one.
#pragma once

#include "app/CDayvaultApp.h"
#include "app/IFileDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace dv::test {

// Answers the file dialogs from `next`; remembers what the last open dialog was given.
class QueuedFileDialogs final : public IFileDialogs {
public:
    std::optional<std::filesystem::path> next;
    int asked = 0;
    std::string filter;
    std::string start;
    std::optional<std::filesystem::path> OpenFileFrom(QWidget*, const std::string& filter_,
                                                      const std::string& start_) override {
        filter = filter_;
        start = start_;
        return Take();
    }
    std::optional<std::filesystem::path> OpenFile(QWidget*, const std::string&) override {
        return Take();
    }
    std::optional<std::filesystem::path> SaveFile(QWidget*, const std::string&,
                                                  const std::string&) override {
        return Take();
    }

private:
    std::optional<std::filesystem::path> Take() {
        ++asked;
        return std::exchange(next, std::nullopt);
    }
};

// Runs `step` once the next modal window of kind T is up (each runs its own loop). A step that
// failed halfway leaves the window open; it is closed so that the test goes on.
template <class T>
void OnModal(std::function<void(T*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(window);
            if (window->isVisible()) {
                window->reject();
            }
        }
    });
    timer->start();
}

inline void Click(QAbstractButton* button) {
    // Near the left edge: a stretched radio button or check box reacts on its indicator and text.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

inline void Press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
    Click(dialog->findChild<QDialogButtonBox*>()->button(which));
}

inline void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void ClearNativeStore() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillmark", "Dayvault").clear();
}

// The program's folders under `root`, the program folder made.
inline AppEnvironment TestEnvironment(const std::filesystem::path& root, const char* name) {
    AppEnvironment environment;
    environment.ProgramFolder = root / "program";
    environment.UserDataFolder = root / "user";
    environment.ProgramFile = QStringLiteral("/opt/dayvault/bin/dayvault");
    environment.InstanceName =
        QStringLiteral("dayvault-%1-%2").arg(name).arg(QCoreApplication::applicationPid());
    std::filesystem::create_directories(environment.ProgramFolder);
    return environment;
}

} // namespace dv::test
