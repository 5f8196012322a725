#pragma once

// The cells of the risk tables: a drop-down list where the model offers choices, a line of text
// elsewhere, and the density of an input drawn small. An editor exists only while its cell is
// edited, and even then a turn of the mouse wheel over it changes nothing: a value changes by
// a click, by typing or by the keyboard in an open editor only.

#include <QStyledItemDelegate>

namespace velmora {

class RiskCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};

} // namespace velmora
