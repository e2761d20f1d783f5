#include "platform/CQtPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextDocument>
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

    // Details (a command and its arguments) stay readable and the buttons on the screen,
    // however many lines they have: a scrolling box of bounded height, every line in it; No
    // is the default. The box opens above the always-on-top window that asked, owned by it.
    void detailsScrollAndOpenAboveTheWindowThatAsked() {
        QWidget onTop;
        onTop.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        onTop.show();
        onTop.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&onTop));
        CQtPrompt prompt;
        std::vector<std::string> lines(300, "Argument: x");
        lines.push_back("Argument 301: the real one");
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            auto* details = box->findChild<QPlainTextEdit*>(QStringLiteral("questionDetails"));
            QVERIFY(details != nullptr);
            QVERIFY(details->toPlainText().endsWith(QStringLiteral("the real one")));
            QCOMPARE(details->document()->blockCount(), 301);
            QVERIFY(details->height() < details->fontMetrics().lineSpacing() * 20);
            QVERIFY(box->sizeHint().height() < 600);
            QCOMPARE(box->parentWidget(), &onTop);
            QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            seen = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(!prompt.AskYesNoWithDetails("Run it?", lines, PromptIcon::Exclamation));
        QVERIFY(seen);
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
