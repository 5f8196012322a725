#include "views/RiskCellDelegate.h"

#include "views/RiskInputsModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace velmora {

QWidget* RiskCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const QVariant choices = index.data(RiskInputsModel::kChoicesRole);
    if (!choices.isValid()) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* list = new QComboBox(parent);
    list->addItems(choices.toStringList());
    list->setFocusPolicy(Qt::StrongFocus);
    // A choice picked from the open list is the edit: it is kept at once.
    connect(list, &QComboBox::activated, this, [this, list] {
        emit const_cast<RiskCellDelegate*>(this)->commitData(list);
        emit const_cast<RiskCellDelegate*>(this)->closeEditor(list);
    });
    return list;
}

void RiskCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor))
        list->setCurrentIndex(index.data(Qt::EditRole).toInt());
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void RiskCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor))
        model->setData(index, list->currentIndex(), Qt::EditRole);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

void RiskCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant density = index.data(RiskInputsModel::kDensityRole);
    if (!density.isValid()) return;
    const QList<double> heights = density.value<QList<double>>();
    const QRectF r = QRectF(option.rect).adjusted(4, 3, -4, -3);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(option.palette.color(QPalette::Text), 1.2));
    if (heights.isEmpty()) {
        // Every sample is one value.
        painter->drawLine(QPointF(r.center().x(), r.bottom()), QPointF(r.center().x(), r.top()));
    } else {
        QPolygonF line;
        const double step = r.width() / double(heights.size());
        line << QPointF(r.left(), r.bottom());
        for (qsizetype k = 0; k < heights.size(); ++k) {
            const double y = r.bottom() - r.height() * heights[k];
            line << QPointF(r.left() + step * double(k), y)
                 << QPointF(r.left() + step * double(k + 1), y);
        }
        line << QPointF(r.right(), r.bottom());
        painter->setBrush(option.palette.color(QPalette::Highlight).lighter(160));
        painter->drawPolygon(line);
    }
    painter->restore();
}

bool RiskCellDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::Wheel) return true;
    // Enter ends the cell's entry, there and then; it does not go on to press the window's
    // default button with the entry still unchecked.
    if (auto* editor = qobject_cast<QWidget*>(object);
        editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto* list = qobject_cast<QComboBox*>(editor);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            !(list && list->view()->isVisible())) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace velmora
