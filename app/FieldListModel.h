// The field list of a verification session as a Qt model: one row per
// field, its caption, its tick as the check state and its type code. The
// session stays the owner of the ticks; the model mirrors it through the
// SessionObserver calls and passes the user's ticks back to it.
#pragma once

#include <QAbstractListModel>

#include "verify/verification_session.h"

namespace bq::app {

inline constexpr const char* kNoFormHeader = "TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST";
inline constexpr const char* kFormHeader = "CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA";

class FieldListModel : public QAbstractListModel, public SessionObserver {
    Q_OBJECT
public:
    // The field's type code character, as a QChar.
    static constexpr int TypeCodeRole = Qt::UserRole + 1;

    explicit FieldListModel(VerificationSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void FieldListReloaded(int formIndex) override;
    void FlagsApplied() override;

signals:
    void ListReloaded(int formIndex);
    void TicksApplied();
    // The user ticked or unticked `row`.
    void CheckStateChanged(int row);

private:
    VerificationSession& session_;
};

}  // namespace bq::app
