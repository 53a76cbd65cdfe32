// The clash judgement's settings dialog.
#include "app/window/clash_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace hk {
namespace {

// The largest length the boxes take, in data-file units.
constexpr double cMaxLength = 1e6;

QDoubleSpinBox* LengthBox(QWidget* parent, const char* name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(2);
    box->setRange(0, cMaxLength);
    box->setSingleStep(1);
    return box;
}

} // namespace

TClashSettingsDialog::TClashSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ClashSettingsDialog"));
    setWindowTitle(QStringLiteral("衝突判定の設定"));
    tolerance_ = LengthBox(this, "ClashTolerance");
    tolerance_->setToolTip(QStringLiteral("距離の絶対値がこの値以下の組は接触とします"));
    clearance_ = LengthBox(this, "ClashClearance");
    clearance_->setToolTip(QStringLiteral("間隔がこの値未満の組は離隔とします (0: 判定しない)"));
    connected_ = new QCheckBox(QStringLiteral("接続部を衝突としない"), this);
    connected_->setObjectName(QStringLiteral("ClashConnected"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("許容差"), tolerance_);
    form->addRow(QStringLiteral("離隔距離"), clearance_);
    form->addRow(connected_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    SetSettings({});
}

void TClashSettingsDialog::SetSettings(const TClashSettings& settings) {
    tolerance_->setValue(settings.tolerance);
    clearance_->setValue(settings.clearance);
    connected_->setChecked(settings.connected);
}

TClashSettings TClashSettingsDialog::Settings() const {
    TClashSettings settings;
    settings.tolerance = tolerance_->value();
    settings.clearance = clearance_->value();
    settings.connected = connected_->isChecked();
    return settings;
}

} // namespace hk
