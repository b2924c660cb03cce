#include "app/FieldListModel.h"

#include "app/AppText.h"

namespace bq::app {

FieldListModel::FieldListModel(VerificationSession& session, QObject* parent)
    : QAbstractListModel(parent), session_(session) {}

int FieldListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(session_.Fields().size());
}

QVariant FieldListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FieldEntry& field = session_.Fields()[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return FromBytes(field.caption);
        case Qt::CheckStateRole:
            return field.checked ? Qt::Checked : Qt::Unchecked;
        case TypeCodeRole:
            return QChar::fromLatin1(field.typeCode);
        default:
            return {};
    }
}

bool FieldListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount()) return false;
    const bool checked = value.toInt() == Qt::Checked;
    session_.SetChecked(static_cast<size_t>(index.row()), checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit CheckStateChanged(index.row());
    return true;
}

Qt::ItemFlags FieldListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

QVariant FieldListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section != 0 || orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromLatin1(session_.FormIndex() < 0 ? kNoFormHeader : kFormHeader);
}

// The session has already changed when it calls, so the reset only tells
// the views to read everything again.
void FieldListModel::FieldListReloaded(int formIndex) {
    beginResetModel();
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, 0);
    emit ListReloaded(formIndex);
}

void FieldListModel::FlagsApplied() {
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
    emit TicksApplied();
}

}  // namespace bq::app
