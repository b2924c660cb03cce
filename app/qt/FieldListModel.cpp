#include "app/qt/FieldListModel.h"

#include "app/qt/AppText.h"

namespace bq::app {

FieldListModel::FieldListModel(shell::MainWindow& window, QObject* parent)
    : QAbstractListModel(parent), window_(window) {}

int FieldListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(window_.Session().Selection().Fields().size());
}

QVariant FieldListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FieldEntry& field = window_.Session().Selection().Fields()[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return FromBytes(field.caption);
        case Qt::CheckStateRole:
            return field.checked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool FieldListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount()) return false;
    window_.lvDestinationCheckStateChange(static_cast<size_t>(index.row()), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags FieldListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

QVariant FieldListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section != 0 || orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return FromBytes(window_.ColumnCaption());
}

// The shell has already changed when it asks, so the reset only tells the
// views to read everything again.
void FieldListModel::Reload() {
    beginResetModel();
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void FieldListModel::TicksChanged() {
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

}  // namespace bq::app
