#include "app/qt_operator.h"

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

BoxIcon toBoxIcon(Icon icon) {
    switch (icon) {
        case Icon::None: return BoxIcon::None;
        case Icon::Information: return BoxIcon::Information;
        case Icon::Warning: return BoxIcon::Warning;
        case Icon::Error: return BoxIcon::Critical;
        case Icon::Question: return BoxIcon::Question;
    }
    return BoxIcon::Warning;
}

namespace {

QString buttonText(Answer a) {
    switch (a) {
        case Answer::Ok: return qtext(texts::AppButtonOk);
        case Answer::Cancel: return qtext(texts::AppButtonCancel);
        case Answer::Yes: return qtext(texts::AppButtonYes);
        case Answer::No: return qtext(texts::AppButtonNo);
        case Answer::Retry: return qtext(texts::AppButtonRetry);
    }
    return qtext(texts::AppButtonOk);
}

}  // namespace

void QtOperator::showMessage(const Message& message, Icon icon) {
    BoxRequest request;
    request.title = qtext(texts::AppShortName);
    request.text = qtext(message);
    request.icon = toBoxIcon(icon);
    request.buttons = {buttonText(Answer::Ok)};
    ui_.messageBox(parent_, request);
}

Answer QtOperator::ask(const Message& question, Buttons buttons, Icon icon) {
    const std::vector<Answer> answers = answersOf(buttons);
    BoxRequest request;
    request.title = qtext(texts::AppShortName);
    request.text = qtext(question);
    request.icon = toBoxIcon(icon);
    for (Answer a : answers) request.buttons.append(buttonText(a));
    request.defaultButton = 0;
    // Escape answers Cancel or No when the set has one, else the default.
    request.escapeButton = 0;
    for (size_t i = 0; i < answers.size(); ++i)
        if (answers[i] == Answer::Cancel || answers[i] == Answer::No) request.escapeButton = static_cast<int>(i);
    const int pressed = ui_.messageBox(parent_, request);
    if (pressed < 0 || static_cast<size_t>(pressed) >= answers.size()) return answers[static_cast<size_t>(request.escapeButton)];
    return answers[static_cast<size_t>(pressed)];
}

}  // namespace korvex::app
