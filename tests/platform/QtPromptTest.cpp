#include "platform/CQtPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using dv::CQtPrompt;
using dv::PromptIcon;

namespace {

/// Runs `answer` on the message box once it is open (the box runs its own modal loop).
void WhenBoxOpens(std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        answer(*box);
    });
}

} // namespace

class QtPromptTest : public QObject {
    Q_OBJECT

private slots:
    // Enter on a warning must not carry out the destructive action: No is the default.
    void questionDefaultsToNoAndTakesYes() {
        CQtPrompt prompt;
        WhenBoxOpens([](QMessageBox& box) {
            QCOMPARE(box.windowTitle(), QStringLiteral("Dayvault"));
            QCOMPARE(box.icon(), QMessageBox::Warning);
            QCOMPARE(box.text(), QStringLiteral("Quit anyway?"));
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QVERIFY(!prompt.AskYesNo("Quit anyway?", PromptIcon::Exclamation));

        WhenBoxOpens([](QMessageBox& box) {
            QCOMPARE(box.icon(), QMessageBox::Question);
            QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
        });
        QVERIFY(prompt.AskYesNo("Delete?", PromptIcon::Question));
    }

    void messageShowsStopIcon() {
        CQtPrompt prompt;
        bool seen = false;
        WhenBoxOpens([&seen](QMessageBox& box) {
            seen = box.icon() == QMessageBox::Critical && box.text() == QStringLiteral("failed");
            box.accept();
        });
        prompt.ShowMessage("failed", PromptIcon::Stop);
        QVERIFY(seen);
    }
};

QTEST_MAIN(QtPromptTest)
#include "QtPromptTest.moc"
