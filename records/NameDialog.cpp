#include "records/NameDialog.h"

#include "ui/WindowLook.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace dvl {

QSizeF NameDialog::DialogUnit(const QFont& font) {
    const QFontMetricsF metrics(font);
    QString letters;
    for (char c = 'A'; c <= 'Z'; ++c) {
        letters += QLatin1Char(c);
        letters += QLatin1Char(char(c - 'A' + 'a'));
    }
    return {metrics.horizontalAdvance(letters) / 52 / 4, metrics.height() / 8};
}

NameDialog::NameDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("NameDialog"));
    setWindowTitle(QStringLiteral("Конец игры"));
    setFont(DefaultFont());
    const QSizeF unit = DialogUnit(font());
    const auto du = [&](double x, double y) {
        return QPoint(int(x * unit.width() + 0.5), int(y * unit.height() + 0.5));
    };
    const auto size = [&](double w, double h) {
        const QPoint p = du(w, h);
        return QSize(p.x(), p.y());
    };
    setFixedSize(size(180, 63));

    prompt_ = new QLabel(QStringLiteral("Введите имя"), this);
    prompt_->move(du(8, 8));
    prompt_->adjustSize();

    edit_ = new QLineEdit(InitialText(), this);
    edit_->setMaxLength(255);
    edit_->move(du(8, 19));
    edit_->resize(size(164, 0).width(), edit_->sizeHint().height());
    edit_->selectAll();

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setGeometry(QRect(du(38, 41), size(50, 14)));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setGeometry(QRect(du(92, 41), size(50, 14)));
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    edit_->setFocus();
}

QString NameDialog::Result() const {
    return result() == QDialog::Accepted ? edit_->text() : InitialText();
}

QString NameDialog::Ask(QWidget* parent) {
    NameDialog dialog(parent);
    CentreOver(&dialog, nullptr);
    dialog.exec();
    return dialog.Result();
}

} // namespace dvl
