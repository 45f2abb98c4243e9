#pragma once

// The name dialog after a game that entered the records, laid out in its font's dialog units.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dvl {

class NameDialog : public QDialog {
    Q_OBJECT
public:
    static QString InitialText() { return QStringLiteral("Неизвестный"); }
    // The field takes no more characters than this.
    static constexpr int kMaxLength = 255;
    // Whether the records file can hold the character (Windows-1251, no control character).
    static bool Storable(QChar c);

    explicit NameDialog(QWidget* parent = nullptr);

    // The text after OK, possibly empty; the initial text after Cancel, Esc or closing.
    QString Result() const;
    static QString Ask(QWidget* parent);

    QLabel* Prompt() const { return prompt_; }
    QLineEdit* Edit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    // One horizontal and one vertical dialog unit, in pixels, for this font.
    static QSizeF DialogUnit(const QFont& font);

private:
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace dvl
