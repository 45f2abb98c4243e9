#pragma once

// Text lines under a column header, in a sunken border: part c of a line (split at
// the delimiter) is drawn in column c, as wide as header section c.

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

    // Each delimiter ends a part (possibly empty); what follows the last is one unless empty.
    static QStringList SplitLine(const QString& line, QChar delimiter);
    // Column 0 at the line's left edge, each next one a pixel right of the previous one.
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
