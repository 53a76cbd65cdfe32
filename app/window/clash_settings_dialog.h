// TClashSettingsDialog, "衝突判定の設定": the tolerance, the clearance and "接続部を衝突としない"
// of the clash judgement, in data-file units. It only shows and returns the values; whoever
// opens it applies them.
#pragma once

#include "app/clash_type.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;

namespace hk {

class TClashSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TClashSettingsDialog(QWidget* parent);

    void SetSettings(const TClashSettings& settings);
    TClashSettings Settings() const;

private:
    QDoubleSpinBox* tolerance_ = nullptr;
    QDoubleSpinBox* clearance_ = nullptr;
    QCheckBox* connected_ = nullptr;
};

} // namespace hk
