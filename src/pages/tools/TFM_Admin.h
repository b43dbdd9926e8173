#pragma once

#include "binding/QvPage.h"

#include <QString>

#include <memory>

namespace Ui {
class TFM_Admin;
}
class QvSNMPRequest2Edits;

// "Tools \ Admin": the user name and password of the device's administrator account. Both
// change only after the current password was typed; a successful change restarts the device.
class TFM_Admin : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Admin(QWidget* owner = nullptr);
    ~TFM_Admin() override;

    void FormCreate();
    void OKClick();
    void CancelClick();

    std::unique_ptr<Ui::TFM_Admin> ui;
    QvSNMPRequest2Edits* AccountEdits = nullptr;
};

// Letters A-Z and a-z, digits and "@", ".", "_", "-" only; the empty name passes.
bool IsValidUserName(const QString& name);
