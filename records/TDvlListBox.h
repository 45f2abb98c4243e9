#pragma once

// A list of text lines under a column header, inside a sunken border. Each
// line is split at the delimiter and part c is drawn in column c, as wide as
// header section c; dragging a divider moves the columns after it.

#include <QFrame>
#include <QRect>
#include <QStringList>
#include <vector>

class QHeaderView;
class QListView;
class QStandardItemModel;

namespace dvl {

class TDvlListBox : public QFrame {
    Q_OBJECT
public:
    explicit TDvlListBox(QWidget* parent = nullptr);

    // Sections: caption and width; captions are centred.
    void SetHeaderSections(const QStringList& captions, const std::vector<int>& widths);

    QStringList Items() const;
    void Clear();
    void Add(const QString& line);
    // The line the keyboard is on, from 0, without selecting it.
    void SetCurrentLine(int row);

    QHeaderView* Header() const { return header_; }
    QListView* List() const { return list_; }
    std::vector<int> SectionWidths() const;

    // The parts of a line: each delimiter ends one (possibly empty), and what
    // follows the last is one more unless it is empty.
    static QStringList SplitLine(const QString& line, QChar delimiter);
    // Column rectangles of a line: column 0 at the line's left edge, each
    // further one a pixel right of the previous one's right edge.
    static std::vector<QRect> ColumnRects(const QRect& line, const std::vector<int>& widths);
    // Where part c's text starts: 2 pixels in, 1 pixel down.
    static QPoint TextOrigin(const QRect& column) { return column.topLeft() + QPoint(2, 1); }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Arrange();

    QHeaderView* header_;
    QStandardItemModel* sections_;
    QListView* list_;
    QStandardItemModel* lines_;
};

} // namespace dvl
