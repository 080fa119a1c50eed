#pragma once
// How core operations talk to the user: show a message, ask a question with a set
// of buttons, report a finished step. The desktop implements it with message boxes,
// the CLI and the tests with a script of answers and a record of what was shown.
#include <deque>
#include <string>
#include <vector>

#include "model/texts/text.h"

namespace korvex {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// One line of a longer operation's progress display that changed: a step that
// completed (the display ticks the line) or a status text that now shows. The
// operation documents which line numbers it uses.
struct StepReport {
    int line = 0;
    Message text;
};

// The answers a button set offers, first one = the default button.
std::vector<Answer> answersOf(Buttons buttons);
const char* answerName(Answer a);           // "ok", "cancel", "yes", "no", "retry"
bool answerFromName(const std::string& name, Answer& out);

class Operator {
public:
    virtual ~Operator() = default;
    virtual void showMessage(const Message& message, Icon icon = Icon::Warning) = 0;
    virtual Answer ask(const Message& question, Buttons buttons, Icon icon = Icon::Question) = 0;
    // A step of a longer operation finished (for example the fieldbus parameters
    // of a download were acknowledged).
    virtual void stepDone(const StepReport& /*step*/) {}
};

// Records everything shown and answers questions from a script (default: the
// first button of the set). Used by the CLI and by tests.
class ScriptedOperator : public Operator {
public:
    struct Shown {
        Message message;
        bool question = false;
        Answer answer = Answer::Ok;
    };

    explicit ScriptedOperator(std::deque<Answer> answers = {}) : answers_(std::move(answers)) {}

    void showMessage(const Message& message, Icon icon = Icon::Warning) override;
    Answer ask(const Message& question, Buttons buttons, Icon icon = Icon::Question) override;
    void stepDone(const StepReport& step) override;

    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<StepReport>& steps() const { return steps_; }
    // Keys of the texts shown, in order (questions included).
    std::vector<std::string> shownKeys() const;
    void clear() { shown_.clear(); steps_.clear(); }

private:
    std::deque<Answer> answers_;
    std::vector<Shown> shown_;
    std::vector<StepReport> steps_;
};

}  // namespace korvex
