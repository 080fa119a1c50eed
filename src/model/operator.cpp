#include "model/operator.h"

#include <algorithm>

namespace korvex {

std::vector<Answer> answersOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return {Answer::Ok};
        case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
        case Buttons::YesNo: return {Answer::Yes, Answer::No};
        case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
        case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

const char* answerName(Answer a) {
    switch (a) {
        case Answer::Ok: return "ok";
        case Answer::Cancel: return "cancel";
        case Answer::Yes: return "yes";
        case Answer::No: return "no";
        case Answer::Retry: return "retry";
    }
    return "ok";
}

bool answerFromName(const std::string& name, Answer& out) {
    for (Answer a : {Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No, Answer::Retry}) {
        if (name == answerName(a)) {
            out = a;
            return true;
        }
    }
    return false;
}

void ScriptedOperator::showMessage(const Message& message, Icon) {
    shown_.push_back({message, false, Answer::Ok});
}

Answer ScriptedOperator::ask(const Message& question, Buttons buttons, Icon) {
    const auto offered = answersOf(buttons);
    Answer answer = offered.front();
    if (!answers_.empty()) {
        const Answer wanted = answers_.front();
        answers_.pop_front();
        // An answer the question does not offer falls back to its default button.
        if (std::find(offered.begin(), offered.end(), wanted) != offered.end()) answer = wanted;
    }
    shown_.push_back({question, true, answer});
    return answer;
}

void ScriptedOperator::stepDone(const StepReport& step) { steps_.push_back(step); }

std::vector<std::string> ScriptedOperator::shownKeys() const {
    std::vector<std::string> keys;
    for (const auto& s : shown_) keys.emplace_back(s.message.id.key);
    return keys;
}

}  // namespace korvex
