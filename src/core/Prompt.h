#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace dv {

/// The icon of a message box; it also tells the user what kind of message it is.
enum class PromptIcon {
    Information, ///< a plain notice
    Question,    ///< questions about deleting, snoozing and saving
    Exclamation, ///< warnings before destructive or alarm-disabling actions
    Stop,        ///< failures: a file that cannot be written, a command that cannot run
};

/// Every modal question and message of the program goes through this interface, so that the
/// desktop program shows message boxes (titled with the program's name) while tests and the
/// command-line tool answer without a screen.
class IPrompt {
public:
    virtual ~IPrompt() = default;

    /// Asks a question with the buttons Yes and No and waits for the answer; true for Yes.
    /// Other events may be handled while the question is open (a modal message loop), so callers
    /// must be ready for re-entry.
    virtual bool AskYesNo(const std::string& text, PromptIcon icon) = 0;

    /// A question about something that must be read whole before answering (a command and its
    /// arguments): `details`, one item a line, shown below the text where no item can hide
    /// another. Without a screen of its own, the lines follow the text.
    virtual bool AskYesNoWithDetails(const std::string& text,
                                     const std::vector<std::string>& details, PromptIcon icon) {
        std::string whole = text;
        for (const std::string& line : details) {
            whole += "\n" + line;
        }
        return AskYesNo(whole, icon);
    }

    /// Shows a message with an OK button and waits until it is closed.
    virtual void ShowMessage(const std::string& text, PromptIcon icon) = 0;

protected:
    IPrompt() = default;
    IPrompt(const IPrompt&) = default;
    IPrompt& operator=(const IPrompt&) = default;
};

/// Answers questions from a queue and records everything it was shown: for tests and for tools
/// without a screen. When the queue is empty the default answer is given if one was set;
/// otherwise the question is an error (std::logic_error naming the question), so that a test
/// notices a question it did not expect.
class CQueuedPrompt final : public IPrompt {
public:
    /// One question or message as it was shown.
    struct Shown {
        bool question = false; ///< AskYesNo (true) or ShowMessage (false)
        std::string text;
        PromptIcon icon = PromptIcon::Information;
    };

    explicit CQueuedPrompt(std::optional<bool> defaultAnswer = std::nullopt)
        : m_defaultAnswer(defaultAnswer) {}

    /// Queues the answer to the next question. `whileOpen` runs after the question was recorded
    /// and before the answer is returned, standing in for whatever the message loop of a real
    /// message box might dispatch meanwhile.
    void QueueAnswer(bool yes, std::function<void()> whileOpen = {}) {
        m_answers.push_back(Answer{yes, std::move(whileOpen)});
    }

    bool AskYesNo(const std::string& text, PromptIcon icon) override {
        m_shown.push_back(Shown{true, text, icon});
        if (m_answers.empty()) {
            if (m_defaultAnswer) {
                return *m_defaultAnswer;
            }
            throw std::logic_error("no answer queued for the question: " + text);
        }
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        if (answer.whileOpen) {
            answer.whileOpen();
        }
        return answer.yes;
    }

    void ShowMessage(const std::string& text, PromptIcon icon) override {
        m_shown.push_back(Shown{false, text, icon});
    }

    /// Everything shown so far, oldest first.
    const std::vector<Shown>& GetShown() const { return m_shown; }
    /// How many questions were asked so far.
    std::size_t GetQuestionCount() const {
        std::size_t count = 0;
        for (const Shown& shown : m_shown) {
            count += shown.question ? 1 : 0;
        }
        return count;
    }
    /// Answers queued and not yet used.
    std::size_t GetPendingAnswerCount() const { return m_answers.size(); }
    /// Forgets what was shown; queued answers stay.
    void ClearShown() { m_shown.clear(); }

private:
    struct Answer {
        bool yes = false;
        std::function<void()> whileOpen;
    };

    std::deque<Answer> m_answers;
    std::vector<Shown> m_shown;
    std::optional<bool> m_defaultAnswer;
};

} // namespace dv
