#include "records/ListAccessible.h"

#include "records/TDvlListBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <mutex>
#include <vector>

namespace dvl {
namespace {

// One section of a list's column header, read by its caption.
class SectionAccessible : public QAccessibleInterface {
public:
    SectionAccessible(QHeaderView* header, int section) : header_(header), section_(section) {}

    bool isValid() const override { return header_ && section_ < header_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return header_ ? header_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(header_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid()
                   ? header_->model()->headerData(section_, Qt::Horizontal).toString()
                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QPoint at =
            header_->viewport()->mapToGlobal(QPoint(header_->sectionViewportPosition(section_), 0));
        return {at, QSize(header_->sectionSize(section_), header_->height())};
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = !header_ || !header_->isVisible();
        return s;
    }

private:
    QPointer<QHeaderView> header_;
    int section_;
};

// The header of a records list: its sections, not its scrolling viewport.
class HeaderAccessible : public QAccessibleWidget {
public:
    explicit HeaderAccessible(QHeaderView* header) : QAccessibleWidget(header, QAccessible::Row) {}

    ~HeaderAccessible() override {
        for (QAccessible::Id id : ids_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return Header()->count(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        while (int(ids_.size()) <= index) {
            ids_.push_back(QAccessible::registerAccessibleInterface(
                new SectionAccessible(Header(), int(ids_.size()))));
        }
        return QAccessible::accessibleInterface(ids_[std::size_t(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto it = std::ranges::find_if(ids_, [child](QAccessible::Id id) {
            return QAccessible::accessibleInterface(id) == child;
        });
        return it == ids_.end() ? -1 : int(it - ids_.begin());
    }

private:
    QHeaderView* Header() const { return static_cast<QHeaderView*>(widget()); }
    mutable std::vector<QAccessible::Id> ids_;
};

// The list's viewport and scroll-bar holders, which hold no lines: under the list,
// Qt 6.8's bridge asks its table interface for them and warns "Fix my children";
// to a reader they lie beside it, in the records box.
class ListPartAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget()->parentWidget()->parentWidget());
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("QHeaderView") && object &&
        qobject_cast<TDvlListBox*>(object->parent())) {
        return new HeaderAccessible(static_cast<QHeaderView*>(object));
    }
    if (className == QLatin1String("QWidget") && object && object->isWidgetType() &&
        qobject_cast<QAbstractItemView*>(object->parent()) &&
        qobject_cast<TDvlListBox*>(object->parent()->parent())) {
        return new ListPartAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

// Filters the list it belongs to.
class LineOnFocus : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) {
            auto* list = static_cast<QAbstractItemView*>(watched);
            // After the view has made its first line current.
            QTimer::singleShot(0, this, [list] {
                const QModelIndex current = list->currentIndex();
                if (list->hasFocus() && current.isValid() && QAccessible::isActive()) {
                    QAccessibleEvent focus(list, QAccessible::Focus);
                    focus.setChild(current.row());
                    QAccessible::updateAccessibility(&focus);
                }
            });
        }
        return false;
    }
};

} // namespace

void AnnounceCurrentLineOnFocus(QAbstractItemView* list) {
    list->installEventFilter(new LineOnFocus(list));
}

void InstallHeaderAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(Factory); });
}

} // namespace dvl
