#pragma once
// The start-up window: product name, version and a button that counts down from
// 7 once a second; the window closes when the count runs out or when the button
// is pressed.
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace korvex::app {

class SplashDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCountdownSeconds = 7;

    explicit SplashDialog(QWidget* parent = nullptr);

    int remaining() const { return remaining_; }
    QPushButton* closeButton() const { return button_; }
    // One second passed (the timer calls it; tests may call it directly).
    void tick();

private:
    void updateButton();

    int remaining_ = kCountdownSeconds;
    QPushButton* button_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace korvex::app
