#pragma once
// The core's Operator shown with message boxes through the window's UiServices.
#include "app/ui_services.h"
#include "model/operator.h"

class QWidget;

namespace korvex::app {

class QtOperator : public Operator {
public:
    QtOperator(UiServices& ui, QWidget* parent) : ui_(ui), parent_(parent) {}

    void showMessage(const Message& message, Icon icon = Icon::Warning) override;
    Answer ask(const Message& question, Buttons buttons, Icon icon = Icon::Question) override;

private:
    UiServices& ui_;
    QWidget* parent_;
};

BoxIcon toBoxIcon(Icon icon);

}  // namespace korvex::app
