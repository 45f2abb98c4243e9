#include "app/TForm3.h"

#include "skins/SharpPictures.h"
#include "ui/WindowLook.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace dvl {

QLabel* TForm3::MakeText() {
    auto* text = new QLabel(QStringLiteral("Игра \"Двойлики\"\nВерсия 1.5\nсентябрь 2004 года\n\n"
                                           "Автор:\nКоманда\n«Двойлики»\nсм. README"),
                            this);
    text->setObjectName(QStringLiteral("StaticText1"));
    text->setGeometry(104, 8, 121, 111);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette pal = text->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    text->setPalette(pal);
    return text;
}

TForm3::TForm3(QWidget* mainWindow) : QDialog(nullptr, kDialogFlags) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("О программе..."));
    setFont(DefaultFont());
    setFixedSize(233, 148);
    setModal(true);
    KeepFrame(this, mainWindow);
    PaintBackground(this, QColor(0, 0, 128));

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setGeometry(8, 8, 89, 111);

    button_ = new QPushButton(QStringLiteral("Ок"), this);
    button_->setObjectName(QStringLiteral("Button1"));
    button_->setGeometry(75, 120, 75, 25);
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &QDialog::accept);

    text_ = MakeText();
    button_->setFocus();
}

void TForm3::showEvent(QShowEvent* e) {
    // Decoded when first wanted; at high density from the double-size picture, smoothly scaled.
    if (picture_->pixmap().isNull()) {
        const qreal ratio = devicePixelRatioF();
        if (ratio > 1) {
            picture_->setPixmap(QPixmap::fromImage(SharpAt(
                QImage(QStringLiteral(":/assets/about-200.jpg")), picture_->size(), ratio)));
        } else {
            picture_->setPixmap(QPixmap(QStringLiteral(":/assets/about.jpg")));
        }
    }
    // Orca 48 reads the window at once from the opening key, while its library still
    // takes the text for hidden since the last closing: a new label is read afresh.
    if (shownBefore_ && QAccessible::isActive()) {
        delete std::exchange(text_, MakeText());
        text_->show();
    }
    shownBefore_ = true;
    QDialog::showEvent(e);
}

// Esc presses the one button, which is also the cancel button: the result is OK.
void TForm3::reject() {
    accept();
}

} // namespace dvl
