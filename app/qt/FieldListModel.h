// The main window's field list as a Qt model: one row per field with its
// caption and its tick as the check state. The shell owns the list and the
// ticks; the model serves them and hands the user's ticks to the shell.
#pragma once

#include <QAbstractListModel>

#include "shell/main_window.h"

namespace bq::app {

class FieldListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    FieldListModel(shell::MainWindow& window, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The shell rebuilt the list.
    void Reload();
    // The shell changed ticks.
    void TicksChanged();

  private:
    shell::MainWindow& window_;
};

}  // namespace bq::app
