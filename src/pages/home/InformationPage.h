#pragma once

class QDialog;
class QWidget;

// The page "Home \ Information": the device's MIB-II system group on a configuration form,
// its contact, name and location editable. The caller shows it modally and destroys it.
QDialog* NewInformationPage(QWidget* owner);
