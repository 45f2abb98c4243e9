#include "records/NameDialog.h"

#include "core/Cp1251.h"
#include "ui/WindowLook.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <algorithm>
#include <array>
#include <numeric>

namespace dvl {
namespace {

// Leaves out, as typed or pasted, what the records file cannot hold, so the name shown
// later is the one in the field. The length counts characters.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        QString kept;
        kept.reserve(input.size());
        int cursor = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (NameDialog::Storable(input[i])) {
                kept += input[i];
            } else if (i < pos) {
                --cursor;
            }
        }
        // Too long: what was just put in before the cursor is cut, as a full field refuses it.
        const int excess = int(kept.size()) - NameDialog::kMaxLength;
        if (excess > 0) {
            const int from = std::max(0, cursor - excess);
            kept.remove(from, cursor - from);
            cursor = from;
            kept.truncate(NameDialog::kMaxLength);
        }
        input = kept;
        pos = std::min(cursor, int(kept.size()));
        return Acceptable;
    }
};

} // namespace

bool NameDialog::Storable(QChar c) {
    static const QString all = [] {
        std::array<std::uint8_t, 256> bytes{};
        std::iota(bytes.begin(), bytes.end(), std::uint8_t(0));
        return cp1251::decode(bytes);
    }();
    // Control characters are the code page's too, but no name holds them.
    return c.category() != QChar::Other_Control && all.contains(c);
}

QSizeF NameDialog::DialogUnit(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString letters = QStringLiteral("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz");
    return {metrics.horizontalAdvance(letters) / 52 / 4, metrics.height() / 8};
}

NameDialog::NameDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("NameDialog"));
    setWindowTitle(QStringLiteral("Конец игры"));
    setFont(DefaultFont());
    // Centred on the screen, and never left minimised or maximised.
    KeepFrame(this, nullptr);
    const QSizeF unit = DialogUnit(font());
    const auto du = [&](double x, double y) {
        return QPoint(int(x * unit.width() + 0.5), int(y * unit.height() + 0.5));
    };
    const auto size = [&](double w, double h) { return QSize(du(w, h).x(), du(w, h).y()); };
    setFixedSize(size(180, 63));

    prompt_ = new QLabel(QStringLiteral("Введите имя"), this);
    prompt_->move(du(8, 8));
    prompt_->adjustSize();

    edit_ = new QLineEdit(InitialText(), this);
    edit_->setValidator(new NameValidator(edit_));
    edit_->move(du(8, 19));
    edit_->resize(du(164, 0).x(), edit_->sizeHint().height());
    // The prompt names the field for a screen reader; it has no access key.
    prompt_->setBuddy(edit_);
    {
        // Selected unheard before the dialog shows: told, it would be read twice.
        const QAccessible::UpdateHandler told = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler([](QAccessibleEvent*) {});
        edit_->selectAll();
        QAccessible::installUpdateHandler(told);
    }

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
    dialog.exec();
    return dialog.Result();
}

} // namespace dvl
