#pragma once

// The about window: the game's name, version and date beside a picture.

#include <QDialog>

class QLabel;
class QPushButton;

namespace dvl {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // Shown centred over `mainWindow` every time.
    explicit TForm3(QWidget* mainWindow = nullptr);

    QLabel* Picture() const { return picture_; }
    QLabel* StaticText() const { return text_; }
    QPushButton* Button() const { return button_; }

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    QLabel* MakeText();

    QLabel* picture_;
    QPushButton* button_;
    QLabel* text_;
    bool shownBefore_ = false;
};

} // namespace dvl
