#include "records/TDvlListBox.h"

#include "records/ListAccessible.h"

#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace dvl {
namespace {

constexpr int kHeaderHeight = 17;
constexpr int kItemHeight = 16;
constexpr QChar kDelimiter = u';';

// Draws every line itself: background, focus frame, then the parts in their columns.
class LineDelegate : public QStyledItemDelegate {
public:
    LineDelegate(const TDvlListBox* box, QObject* parent)
        : QStyledItemDelegate(parent), box_(box) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kItemHeight};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect line = option.rect;
        const QPalette& pal = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        const QColor back = pal.color(selected ? QPalette::Highlight : QPalette::Base);
        p->fillRect(line, back);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = back;
            box_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, box_);
        }
        const QString text = index.data().toString();
        if (text.trimmed().isEmpty()) {
            return;
        }
        const QColor ink = !(option.state & QStyle::State_Enabled)
                               ? pal.color(QPalette::Disabled, QPalette::Text)
                               : pal.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QStringList parts = TDvlListBox::SplitLine(text, kDelimiter);
        const std::vector<QRect> columns = TDvlListBox::ColumnRects(line, box_->SectionWidths());
        p->save();
        p->setPen(ink);
        p->setFont(option.font);
        for (std::size_t c = 0; c < columns.size() && c < std::size_t(parts.size()); ++c) {
            p->setClipRect(columns[c]);
            const QPoint at = TDvlListBox::TextOrigin(columns[c]);
            p->drawText(QRect(at, QSize(1 << 16, line.height() - 1)), Qt::AlignLeft | Qt::AlignTop,
                        parts[qsizetype(c)]);
        }
        p->restore();
    }

private:
    const TDvlListBox* box_;
};

} // namespace

TDvlListBox::TDvlListBox(QWidget* parent) : QFrame(parent) {
    InstallHeaderAccessibility();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    sections_ = new QStandardItemModel(0, 0, this);
    header_ = new QHeaderView(Qt::Horizontal, this);
    // Sections are interactive and not clickable, as Qt makes them.
    header_->setModel(sections_);
    header_->setMinimumSectionSize(0);

    lines_ = new QStandardItemModel(this);
    list_ = new QListView(this);
    list_->setModel(lines_);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setItemDelegate(new LineDelegate(this, list_));
    AnnounceCurrentLineOnFocus(list_);
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Base, Qt::white);
    list_->setPalette(pal);
    connect(header_, &QHeaderView::sectionResized, list_->viewport(),
            qOverload<>(&QWidget::update));
    Arrange();
}

void TDvlListBox::SetHeaderSections(const QStringList& captions, const std::vector<int>& widths) {
    sections_->setColumnCount(int(captions.size()));
    for (int c = 0; c < captions.size(); ++c) {
        sections_->setHeaderData(c, Qt::Horizontal, captions[c]);
        sections_->setHeaderData(c, Qt::Horizontal, int(Qt::AlignCenter), Qt::TextAlignmentRole);
        header_->resizeSection(c, widths[std::size_t(c)]);
    }
}

std::vector<int> TDvlListBox::SectionWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < header_->count(); ++c) {
        widths.push_back(header_->sectionSize(c));
    }
    return widths;
}

QStringList TDvlListBox::Items() const {
    QStringList items;
    for (int row = 0; row < lines_->rowCount(); ++row) {
        items << lines_->item(row)->text();
    }
    return items;
}

void TDvlListBox::Clear() {
    lines_->removeRows(0, lines_->rowCount());
}

void TDvlListBox::Add(const QString& line) {
    auto* item = new QStandardItem(line);
    item->setEditable(false);
    // A listener hears one line at a time: its place and the shown columns after their
    // captions, no delimiter: "1. Имя: Игрок, Очки: 100".
    const QStringList parts = SplitLine(line, kDelimiter);
    QStringList spoken;
    for (int c = 0; c < header_->count() && c < parts.size(); ++c) {
        if (!parts[c].trimmed().isEmpty()) {
            spoken << sections_->headerData(c, Qt::Horizontal).toString() + QStringLiteral(": ") +
                          parts[c];
        }
    }
    item->setData(QStringLiteral("%1. ").arg(lines_->rowCount() + 1) +
                      spoken.join(QStringLiteral(", ")),
                  Qt::AccessibleTextRole);
    lines_->appendRow(item);
}

void TDvlListBox::SetCurrentLine(int row) {
    // Current, not selected: only the focus frame moves there.
    list_->selectionModel()->setCurrentIndex(lines_->index(row, 0), QItemSelectionModel::NoUpdate);
}

QStringList TDvlListBox::SplitLine(const QString& line, QChar delimiter) {
    QStringList parts = line.split(delimiter);
    if (parts.last().isEmpty()) {
        parts.removeLast();
    }
    return parts;
}

std::vector<QRect> TDvlListBox::ColumnRects(const QRect& line, const std::vector<int>& widths) {
    std::vector<QRect> columns;
    int left = line.left();
    for (int w : widths) {
        columns.emplace_back(left, line.top(), w, line.height());
        left += w + 1;
    }
    return columns;
}

void TDvlListBox::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    Arrange();
}

void TDvlListBox::Arrange() {
    const QRect inside = contentsRect();
    header_->setGeometry(inside.left(), inside.top(), inside.width(), kHeaderHeight);
    list_->setGeometry(inside.left(), inside.top() + kHeaderHeight, inside.width(),
                       inside.height() - kHeaderHeight);
}

} // namespace dvl
