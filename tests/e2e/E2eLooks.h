#pragma once

// Reference pictures drawn in the test process on the game's display, with the
// same fonts and style, so the screen can be compared pixel for pixel.

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class QLabel;
class QStatusBar;

namespace dvl {
class TDvlListBox;
}

namespace dvl::e2e {

class Looks {
public:
    Looks();
    ~Looks();
    static constexpr int kOther = -2;
    static constexpr int kBlack = -1;
    // 0 for the card back, 1 to 12 for a face, kBlack, or kOther (a clip, a strip).
    int Classify(const QImage& board, int cell) const;
    // The status bar as the game draws it with `text`.
    QImage Status(const QString& text);
    static QRect CellRect(int cell);

    // Where the records list sits in the records window, and how it looks with `lines`.
    static QRect RecordsListRect() { return {8, 8, 201, 181}; }
    QImage RecordsList(const QStringList& lines);

private:
    QImage pictures_[13];
    QStatusBar* bar_ = nullptr;
    QLabel* label_ = nullptr;
    TDvlListBox* list_ = nullptr;
};

} // namespace dvl::e2e
